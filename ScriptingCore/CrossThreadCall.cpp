#include "ScriptingCore/CrossThreadCall.h"

namespace FB {
namespace {
// How long a waiting caller sleeps before it looks at the host again: the
// host does not wake its waiters when it shuts down.
constexpr std::chrono::milliseconds kShutdownPoll(10);
}  // namespace

void CrossThreadCall::asyncCallbackFunctor(void* data) {
  const std::unique_ptr<CrossThreadCall> call(static_cast<CrossThreadCall*>(data));
  try {
    call->funct_->call();
  } catch (const script_error&) {
    // Nobody waits for a fire-and-forget call; a page or conversion failure
    // has no one to be reported to.
  } catch (const bad_variant_cast&) {
  }
}

void CrossThreadCall::syncCallbackFunctor(void* data) {
  const std::unique_ptr<std::weak_ptr<CrossThreadCall>> weak_call(
      static_cast<std::weak_ptr<CrossThreadCall>*>(data));
  const std::shared_ptr<CrossThreadCall> call = weak_call->lock();
  if (!call) return;
  {
    std::lock_guard<std::mutex> lock(call->mutex_);
    if (call->abandoned_) return;
    call->started_ = true;
  }
  std::exception_ptr error;
  try {
    call->funct_->call();
  } catch (...) {
    // Whatever it was, the caller is waiting for it; it must not be left
    // waiting, nor the exception sent into the browser's callback.
    error = std::current_exception();
  }
  {
    // Handed over whole, so that only the waiting thread, which rethrows
    // the exception, ever releases it.
    std::lock_guard<std::mutex> lock(call->mutex_);
    call->error_ = std::move(error);
    call->returned_ = true;
  }
  call->cond_.notify_all();
}

void CrossThreadCall::waitForResult(const BrowserHost& host) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!returned_) {
    if (host.isShutDown() && !started_) {
      abandoned_ = true;
      throw script_error("Shutting down");
    }
    cond_.wait_for(lock, kShutdownPoll);
  }
  if (host.isShutDown()) throw script_error("Shutting down");
  if (std::exception_ptr error = std::move(error_)) std::rethrow_exception(error);
}

}  // namespace FB
