#pragma once

#include <exception>

#include "ScriptingCore/script_error.h"

namespace FB::detail {

// Runs the deliveries of one event so that one failing call does not keep
// the event from the rest. rethrowFirst then reports the first failure that
// is no script error, or else the first script error: the firing code must
// learn of a broken delivery even when a script error came before it.
class DeliveryFailures {
 public:
  template <class Deliver>
  void attempt(Deliver&& deliver) {
    try {
      deliver();
    } catch (const script_error&) {
      if (!first_) first_ = std::current_exception();
    } catch (...) {
      if (!first_ || first_is_script_error()) first_ = std::current_exception();
    }
  }

  void rethrowFirst() const {
    if (first_) std::rethrow_exception(first_);
  }

 private:
  bool first_is_script_error() const {
    try {
      std::rethrow_exception(first_);
    } catch (const script_error&) {
      return true;
    } catch (...) {
      return false;
    }
  }

  std::exception_ptr first_;
};

}  // namespace FB::detail
