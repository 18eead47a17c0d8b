#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace FB::testing {

// The browser's main-thread queue, as a test plays it: any thread posts a
// callback, the test's own thread (the main thread) runs them in the order
// posted. Callbacks run without the queue's mutex held, so a callback may
// post again; such callbacks run in the same run.
class MainThreadLoop {
 public:
  using Callback = void (*)(void*);

  // False, and nothing queued, while the loop refuses (a browser that will
  // not take the call).
  bool post(Callback callback, void* data);
  void setAccepting(bool accepting);

  // Runs callbacks until none is left; returns how many ran.
  std::size_t runPending();
  // Runs callbacks as they arrive until done() holds, for at most limit;
  // true when done() held. The limit only keeps a broken test from hanging.
  bool runUntil(const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(10));
  // Waits, running nothing, until at least count callbacks are queued or
  // limit has passed; true when they are.
  bool waitForQueued(std::size_t count,
                     std::chrono::milliseconds limit = std::chrono::seconds(10)) const;
  std::size_t queued() const;

 private:
  bool runOne();

  mutable std::mutex mutex_;
  mutable std::condition_variable posted_;
  std::deque<std::pair<Callback, void*>> queue_;
  bool accepting_ = true;
};

}  // namespace FB::testing
