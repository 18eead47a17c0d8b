#pragma once

#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "ScriptingCore/logging.h"

namespace FB {

// A call queued for another thread to run.
class FunctorCall {
 public:
  virtual ~FunctorCall() = default;
  virtual void call() = 0;
};

// One bound function, with a shared reference to the object it works on so
// that the object outlives the queue, and a slot for what it returns.
template <class Functor, class Result = std::decay_t<std::invoke_result_t<Functor&>>>
class FunctorCallImpl : public FunctorCall {
 public:
  FunctorCallImpl(std::shared_ptr<const void> reference, Functor function)
      : function_(std::move(function)), reference_(std::move(reference)) {}
  ~FunctorCallImpl() override {
    FBLOG_TRACE("FunctorCall", "Destroying FunctorCall object (non-void)");
  }

  void call() override { result_.emplace(function_()); }
  // Only after call() has returned.
  Result getResult() { return std::move(*result_); }

 private:
  Functor function_;
  std::shared_ptr<const void> reference_;
  std::optional<Result> result_;
};

template <class Functor>
class FunctorCallImpl<Functor, void> : public FunctorCall {
 public:
  FunctorCallImpl(std::shared_ptr<const void> reference, Functor function)
      : function_(std::move(function)), reference_(std::move(reference)) {}
  ~FunctorCallImpl() override {
    FBLOG_TRACE("FunctorCall", "Destroying FunctorCall object (void)");
  }

  void call() override { function_(); }
  void getResult() {}

 private:
  Functor function_;
  std::shared_ptr<const void> reference_;
};

}  // namespace FB
