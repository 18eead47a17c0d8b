#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

#include "ScriptingCore/BrowserHost.h"
#include "ScriptingCore/FunctorCall.h"
#include "ScriptingCore/bad_variant_cast.h"
#include "ScriptingCore/script_error.h"

namespace FB {

// One call carried to the browser's main thread, fire-and-forget or with
// the caller waiting for its result.
//
// Guard: the call's mutex protects returned, started, abandoned and the
// error slot. The main thread takes it around running the function (not
// while it runs), the waiting thread while it checks and sleeps; nothing
// else is locked inside it. The rule it keeps: a waiter gives up on a shut
// down host only while the function has not started, and once it has given
// up the function never starts. So a function that refers to the caller's
// stack or objects never runs after the caller has left.
class CrossThreadCall {
 public:
  CrossThreadCall(const CrossThreadCall&) = delete;
  CrossThreadCall& operator=(const CrossThreadCall&) = delete;
  virtual ~CrossThreadCall() = default;

  // Queues function() for the main thread, keeping object alive until it
  // has run; dropped silently when the host cannot queue it.
  template <class C, class Functor>
  static void asyncCall(const BrowserHost& host, std::shared_ptr<C> object, Functor function);

  // Runs function() on the main thread and returns its result; see
  // BrowserHost::CallOnMainThread.
  template <class Functor>
  static std::decay_t<std::invoke_result_t<Functor&>> syncCall(const BrowserHost& host,
                                                               Functor function);

 private:
  explicit CrossThreadCall(std::shared_ptr<FunctorCall> functor) : funct_(std::move(functor)) {}

  static void asyncCallbackFunctor(void* call);
  static void syncCallbackFunctor(void* weak_call);
  // Until the function has returned, or the host has shut down before it
  // started; rethrows what the function threw.
  void waitForResult(const BrowserHost& host);

  const std::shared_ptr<FunctorCall> funct_;
  std::exception_ptr error_;
  bool returned_ = false;
  bool started_ = false;
  bool abandoned_ = false;
  std::condition_variable cond_;
  std::mutex mutex_;
};

template <class C, class Functor>
void CrossThreadCall::asyncCall(const BrowserHost& host, std::shared_ptr<C> object,
                                Functor function) {
  // The result of a fire-and-forget call has nowhere to go.
  auto discard_result = [function = std::move(function)]() mutable { (void)function(); };
  auto functor = std::make_shared<FunctorCallImpl<decltype(discard_result), void>>(
      std::shared_ptr<const void>(std::move(object)), std::move(discard_result));
  std::unique_ptr<CrossThreadCall> call(new CrossThreadCall(std::move(functor)));
  // Owned by the queued record from here on; freed by the callback.
  if (host.ScheduleAsyncCall(&CrossThreadCall::asyncCallbackFunctor, call.get())) {
    (void)call.release();
  }
}

template <class Functor>
std::decay_t<std::invoke_result_t<Functor&>> CrossThreadCall::syncCall(const BrowserHost& host,
                                                                       Functor function) {
  auto functor = std::make_shared<FunctorCallImpl<Functor>>(nullptr, std::move(function));
  if (host.isMainThread()) {
    functor->call();
    return functor->getResult();
  }
  const std::shared_ptr<CrossThreadCall> call(new CrossThreadCall(functor));
  // The record holds only a weak reference: a caller that gave up does not
  // keep the call alive for a queue that may never run.
  auto weak_call = std::make_unique<std::weak_ptr<CrossThreadCall>>(call);
  if (!host.ScheduleAsyncCall(&CrossThreadCall::syncCallbackFunctor, weak_call.get())) {
    throw script_error("Could not marshal to main thread");
  }
  (void)weak_call.release();
  call->waitForResult(host);
  return functor->getResult();
}

// BrowserHost's templates, here where the cross-thread call is complete.

template <class C, class Functor>
void BrowserHost::ScheduleOnMainThread(const std::shared_ptr<C>& object, Functor function) const {
  boost::shared_lock<boost::shared_mutex> lock(cross_thread_mutex_);
  CrossThreadCall::asyncCall(*this, object, std::move(function));
}

template <class Functor>
std::decay_t<std::invoke_result_t<Functor&>> BrowserHost::CallOnMainThread(Functor function) const {
  boost::shared_lock<boost::shared_mutex> lock(cross_thread_mutex_);
  // The host must outlive the wait, whoever else lets it go meanwhile.
  const BrowserHostConstPtr self = shared_from_this();
  return CrossThreadCall::syncCall(*self, std::move(function));
}

}  // namespace FB
