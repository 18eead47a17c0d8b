// Calls from worker threads onto the browser's main thread, which the test's
// own thread plays by running the host's loop. These run under
// ThreadSanitizer; every wait is bounded, and the only time bounds are
// generous ones around the host's 10 ms wake-ups.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/variant.h"
#include "test_browser_host.h"

namespace {

using FB::variant;
using FB::VariantList;
using FB::testing::MainThreadLoop;
using FB::testing::ScriptObject;
using FB::testing::TestBrowserHost;
using FB::testing::TestBrowserHostPtr;
using std::chrono::milliseconds;

class CrossThread : public ::testing::Test {
 protected:
  // Runs the main thread's queue until the worker's result is ready.
  template <class T>
  T runUntilReady(std::future<T>& result) {
    EXPECT_TRUE(loop->runUntil(
        [&] { return result.wait_for(milliseconds(0)) == std::future_status::ready; }));
    return result.get();
  }

  std::shared_ptr<MainThreadLoop> loop = std::make_shared<MainThreadLoop>();
  TestBrowserHostPtr host = TestBrowserHost::create(loop);
};

TEST_F(CrossThread, WorkerCallRunsOnTheMainThreadAndReturnsItsResult) {
  const std::thread::id main_thread = std::this_thread::get_id();
  std::future<std::string> result = std::async(std::launch::async, [&] {
    EXPECT_FALSE(host->isMainThread());
    return host->CallOnMainThread([&] {
      EXPECT_TRUE(host->isMainThread());
      return std::string(std::this_thread::get_id() == main_thread ? "main" : "elsewhere");
    });
  });
  EXPECT_EQ(runUntilReady(result), "main");
}

TEST_F(CrossThread, WorkerCallWithoutResultCompletes) {
  std::atomic<bool> ran{false};
  std::future<void> done =
      std::async(std::launch::async, [&] { host->CallOnMainThread([&] { ran = true; }); });
  runUntilReady(done);
  EXPECT_TRUE(ran);
}

// What the worker catches for what the function threw on the main thread.
struct ErrorCase {
  const char* label;
  std::function<void()> fail;
  std::string message;
  bool script_error;
};

class CarriedError : public CrossThread, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CarriedError, ReachesTheWorkerWithItsMessage) {
  std::future<std::string> caught = std::async(std::launch::async, [&] {
    try {
      host->CallOnMainThread([&] {
        GetParam().fail();
        return 0;
      });
      return std::string("nothing");
    } catch (const FB::script_error& e) {
      return std::string("script_error: ") + e.what();
    } catch (const std::exception& e) {
      return std::string("exception: ") + e.what();
    }
  });
  EXPECT_EQ(runUntilReady(caught),
            (GetParam().script_error ? "script_error: " : "exception: ") + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CarriedError,
    ::testing::Values(ErrorCase{"ScriptError", [] { throw FB::script_error("page said no"); },
                                "page said no", true},
                      ErrorCase{"Subclass", [] { throw FB::invalid_arguments(); },
                                "Invalid Arguments", true},
                      // Anything else is carried too, rather than leaving the worker
                      // waiting and the exception loose in the browser's callback.
                      ErrorCase{"OtherException", [] { throw std::runtime_error("plugin broke"); },
                                "plugin broke", false}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.label; });

std::string callFromWorker(const TestBrowserHostPtr& host) {
  return std::async(std::launch::async,
                    [&] {
                      try {
                        host->CallOnMainThread([] { return 1; });
                        return std::string("returned");
                      } catch (const FB::script_error& e) {
                        return std::string(e.what());
                      }
                    })
      .get();
}

TEST_F(CrossThread, WorkerCallTheBrowserRefusesCannotBeMarshalled) {
  loop->setAccepting(false);
  EXPECT_EQ(callFromWorker(host), "Could not marshal to main thread");
}

TEST_F(CrossThread, WorkerCallAfterShutdownCannotBeMarshalled) {
  host->shutdown();
  EXPECT_EQ(callFromWorker(host), "Could not marshal to main thread");
}

// The main thread shuts down while a worker waits: the pending call runs
// once, during shutdown, and the worker is told "Shutting down".
TEST_F(CrossThread, WaitingWorkerIsToldShuttingDown) {
  std::atomic<int> runs{0};
  std::future<std::string> caught = std::async(std::launch::async, [&] {
    try {
      host->CallOnMainThread([&] { return ++runs; });
      return std::string("returned");
    } catch (const FB::script_error& e) {
      return std::string(e.what());
    }
  });
  // Nothing is run from the queue: the worker is waiting when shutdown comes.
  ASSERT_TRUE(loop->waitForQueued(1));
  host->shutdown();
  const auto shut = std::chrono::steady_clock::now();
  ASSERT_EQ(caught.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_LT(std::chrono::steady_clock::now() - shut, std::chrono::seconds(2));
  EXPECT_EQ(caught.get(), "Shutting down");
  loop->runPending();
  EXPECT_EQ(runs, 1);
}

// A function already running on the main thread when the host shuts down
// may still use what its caller handed it; the caller must not leave first.
TEST_F(CrossThread, WorkerWaitsForAFunctionThatIsRunningWhenTheHostShutsDown) {
  std::mutex mutex;
  std::condition_variable changed;
  bool worker_left = false;
  bool left_while_running = false;

  std::future<std::string> caught = std::async(std::launch::async, [&] {
    std::string outcome;
    try {
      host->CallOnMainThread([&] {
        host->shutdown();
        // Long enough for a worker polling every 10 ms to leave, if it may.
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, milliseconds(100), [&] { return worker_left; });
        left_while_running = worker_left;
      });
      outcome = "returned";
    } catch (const FB::script_error& e) {
      outcome = e.what();
    }
    {
      std::lock_guard<std::mutex> lock(mutex);
      worker_left = true;
    }
    changed.notify_all();
    return outcome;
  });
  EXPECT_EQ(runUntilReady(caught), "Shutting down");
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_FALSE(left_while_running);
}

TEST_F(CrossThread, InvokeAsyncFromAWorkerReturnsBeforeTheQueueAndTheTimerRun) {
  auto calls = std::make_shared<std::vector<int>>();
  const auto handler = ScriptObject::makeFunction(host, [calls](const VariantList& arguments) {
    calls->push_back(arguments.at(0).convert_cast<int>());
    return variant();
  });
  std::thread worker([&] { handler->InvokeAsync("", VariantList{7}); });
  worker.join();
  EXPECT_TRUE(calls->empty());
  EXPECT_EQ(loop->runPending(), 1u);
  EXPECT_TRUE(calls->empty());
  host->window()->advanceTime(0);
  EXPECT_EQ(*calls, std::vector<int>{7});
}

TEST_F(CrossThread, ReleaseFromAWorkerLeavesDeferredReleaseToTheMainThread) {
  const auto object = std::make_shared<FB::JSAPIAuto>();
  host->retainJSAPIPtr(object);
  const int deferred = host->deferredReleases();
  std::thread worker([&] { host->releaseJSAPIPtr(object); });
  worker.join();
  EXPECT_EQ(host->deferredReleases(), deferred);
  EXPECT_EQ(object.use_count(), 1);
}

// Workers call, queue and log while the main thread serves them, then shut
// the host down under them: every call ends in its result or one of the two
// refusals, nothing hangs and nothing runs twice.
TEST_F(CrossThread, WorkersAgainstServingAndShutdown) {
  constexpr int kWorkers = 4;
  constexpr int kCallsPerWorker = 200;
  std::atomic<int> scheduled_runs{0};
  std::atomic<int> finished_workers{0};
  std::atomic<int> answered{0};
  std::atomic<int> refused{0};
  std::atomic<int> unexpected{0};
  auto target = std::make_shared<int>(0);

  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w] {
      for (int i = 0; i < kCallsPerWorker; ++i) {
        host->ScheduleOnMainThread(target, [&] { ++scheduled_runs; });
        if (i % 20 == 0) host->htmlLog("worker " + std::to_string(w));
        try {
          if (host->CallOnMainThread([i] { return i; }) == i) ++answered;
        } catch (const FB::script_error& e) {
          const std::string message = e.what();
          if (message == "Shutting down" || message == "Could not marshal to main thread") {
            ++refused;
          } else {
            ++unexpected;
          }
        }
      }
      ++finished_workers;
    });
  }
  // Serve the first half of the calls, then shut down under the rest.
  EXPECT_TRUE(loop->runUntil([&] { return answered >= kWorkers * kCallsPerWorker / 2; }));
  host->shutdown();
  EXPECT_TRUE(loop->runUntil([&] { return finished_workers == kWorkers; }));
  for (std::thread& worker : workers) worker.join();
  loop->runPending();

  EXPECT_EQ(unexpected, 0);
  EXPECT_EQ(answered + refused, kWorkers * kCallsPerWorker);
  EXPECT_LE(scheduled_runs, kWorkers * kCallsPerWorker);
  EXPECT_EQ(target.use_count(), 1);  // no queued call still holds it
}

}  // namespace
