#include "main_thread_loop.h"

namespace FB::testing {

bool MainThreadLoop::post(Callback callback, void* data) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!accepting_) return false;
    queue_.emplace_back(callback, data);
  }
  posted_.notify_all();
  return true;
}

void MainThreadLoop::setAccepting(bool accepting) {
  std::lock_guard<std::mutex> lock(mutex_);
  accepting_ = accepting;
}

bool MainThreadLoop::runOne() {
  std::pair<Callback, void*> next;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty()) return false;
    next = queue_.front();
    queue_.pop_front();
  }
  next.first(next.second);
  return true;
}

std::size_t MainThreadLoop::runPending() {
  std::size_t ran = 0;
  while (runOne()) ++ran;
  return ran;
}

bool MainThreadLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    while (runOne()) {
      if (done()) return true;
    }
    if (done()) return true;
    // Short naps: done() may turn true on another thread without a post.
    std::unique_lock<std::mutex> lock(mutex_);
    if (queue_.empty()) posted_.wait_for(lock, std::chrono::milliseconds(1));
  }
  return done();
}

bool MainThreadLoop::waitForQueued(std::size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return posted_.wait_for(lock, limit, [&] { return queue_.size() >= count; });
}

std::size_t MainThreadLoop::queued() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size();
}

}  // namespace FB::testing
