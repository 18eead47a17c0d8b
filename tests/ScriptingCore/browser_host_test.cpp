// The browser host's base behaviour on the main thread alone: the page's
// delayed-call function, logging to the page, retained objects, the queue
// and shutdown. Cross-thread calls are in cross_thread_test.cpp.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ScriptingCore/BrowserHost.h"
#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/bad_variant_cast.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/variant.h"
#include "test_browser_host.h"

namespace {

using FB::JSObjectPtr;
using FB::variant;
using FB::VariantList;
using FB::testing::MainThreadLoop;
using FB::testing::ScriptObject;
using FB::testing::ScriptObjectPtr;
using FB::testing::TestBrowserHost;
using FB::testing::TestBrowserHostPtr;

std::string delayedCallScript(const std::string& number) {
  return "window.__FB_CALL_" + number +
         " = function(delay, f, args, fname) {   if (arguments.length == 3)       return "
         "setTimeout(function() { f.apply(null, args); }, delay);   else       return "
         "setTimeout(function() { f[fname].apply(f, args); }, delay);};";
}

std::string numberFor(const void* identity) {
  const auto value = reinterpret_cast<std::uintptr_t>(identity);
  return std::to_string(value + (value >> 3));
}

class HostTest : public ::testing::Test {
 protected:
  std::shared_ptr<MainThreadLoop> loop = std::make_shared<MainThreadLoop>();
  TestBrowserHostPtr host = TestBrowserHost::create(loop);
};

// A page function that records every call's arguments.
struct RecordedFunction {
  std::shared_ptr<std::vector<VariantList>> calls = std::make_shared<std::vector<VariantList>>();
  FB::testing::ScriptObject::Body body() const {
    auto log = calls;
    return [log](const VariantList& arguments) {
      log->push_back(arguments);
      return variant();
    };
  }
};

// --- The page's delayed-call function ---------------------------------------

TEST_F(HostTest, InitJSInstallsTheDelayedCallScriptNamedByTheIdentity) {
  const void* identity = reinterpret_cast<const void*>(std::uintptr_t{0x7f0012345678});
  host->initJS(identity);
  const std::string number = numberFor(identity);
  ASSERT_EQ(host->evaluatedScripts().size(), 1u);
  EXPECT_EQ(host->evaluatedScripts()[0], delayedCallScript(number));
  EXPECT_TRUE(host->window()->HasMethod("__FB_CALL_" + number));
}

TEST_F(HostTest, TwoHostsHaveDistinctDelayedCallNames) {
  const TestBrowserHostPtr other = TestBrowserHost::create(loop);
  ASSERT_TRUE(host->getDelayedInvokeDelegate());
  ASSERT_TRUE(other->getDelayedInvokeDelegate());
  EXPECT_EQ(host->evaluatedScripts().at(0), delayedCallScript(numberFor(host.get())));
  EXPECT_EQ(other->evaluatedScripts().at(0), delayedCallScript(numberFor(other.get())));
  EXPECT_NE(numberFor(host.get()), numberFor(other.get()));
}

TEST_F(HostTest, DelegateIsInstalledOnceAndAgainWhenThePageLostIt) {
  const JSObjectPtr first = host->getDelayedInvokeDelegate();
  ASSERT_TRUE(first);
  EXPECT_EQ(host->getDelayedInvokeDelegate(), first);
  EXPECT_EQ(host->evaluatedScripts().size(), 1u);

  host->window()->RemoveProperty("__FB_CALL_" + numberFor(host.get()));
  const JSObjectPtr second = host->getDelayedInvokeDelegate();
  ASSERT_TRUE(second);
  EXPECT_NE(second, first);
  EXPECT_EQ(host->evaluatedScripts().size(), 2u);
}

struct DelayedInvokeCase {
  const char* label;
  std::string method_name;
  VariantList arguments;
  bool object_method_runs;  // otherwise the function itself runs
};

class DelayedInvoke : public HostTest, public ::testing::WithParamInterface<DelayedInvokeCase> {};

TEST_P(DelayedInvoke, PageRunsTheFunctionOrItsMethodFromATimer) {
  RecordedFunction itself, method;
  const ScriptObjectPtr target = ScriptObject::makeFunction(host, itself.body());
  target->properties["m"] = JSObjectPtr(ScriptObject::makeFunction(host, method.body()));

  const int timer = host->delayedInvoke(40, target, GetParam().arguments, GetParam().method_name);
  EXPECT_GT(timer, 0);
  host->window()->advanceTime(39);
  EXPECT_TRUE(itself.calls->empty());
  EXPECT_TRUE(method.calls->empty());

  host->window()->advanceTime(1);
  const auto& ran = GetParam().object_method_runs ? method : itself;
  const auto& idle = GetParam().object_method_runs ? itself : method;
  ASSERT_EQ(ran.calls->size(), 1u);
  EXPECT_EQ(ran.calls->at(0).size(), GetParam().arguments.size());
  for (std::size_t i = 0; i < GetParam().arguments.size(); ++i) {
    EXPECT_EQ(ran.calls->at(0)[i].convert_cast<int>(), GetParam().arguments[i].convert_cast<int>());
  }
  EXPECT_TRUE(idle.calls->empty());
}

INSTANTIATE_TEST_SUITE_P(
    ThreeOrFourArguments, DelayedInvoke,
    ::testing::Values(DelayedInvokeCase{"FunctionItself", "", VariantList{1, 2}, false},
                      DelayedInvokeCase{"MethodOfTheObject", "m", VariantList{2}, true}),
    [](const ::testing::TestParamInfo<DelayedInvokeCase>& info) { return info.param.label; });

TEST_F(HostTest, DelayedInvokePassesThreeOrFourArgumentsToTheDelegate) {
  RecordedFunction delegate;
  // A page that replaced the delayed-call function sees what the host sends.
  host->initJS(host.get());
  host->window()->defineFunction("__FB_CALL_" + numberFor(host.get()), [&](const VariantList& a) {
    delegate.calls->push_back(a);
    return variant(7);
  });
  const ScriptObjectPtr target = ScriptObject::makeFunction(host, nullptr);
  EXPECT_EQ(host->delayedInvoke(5, target, VariantList{1}), 7);
  EXPECT_EQ(host->delayedInvoke(6, target, VariantList{}, "m"), 7);
  ASSERT_EQ(delegate.calls->size(), 2u);
  EXPECT_EQ(delegate.calls->at(0).size(), 3u);
  EXPECT_EQ(delegate.calls->at(0)[0].convert_cast<int>(), 5);
  EXPECT_EQ(delegate.calls->at(0)[1].convert_cast<JSObjectPtr>(), target);
  EXPECT_EQ(delegate.calls->at(0)[2].convert_cast<VariantList>().size(), 1u);
  ASSERT_EQ(delegate.calls->at(1).size(), 4u);
  EXPECT_EQ(delegate.calls->at(1)[3].convert_cast<std::string>(), "m");
}

TEST(DelayedInvokeWithoutWindow, ReturnsMinusOneAndEvaluatesNothing) {
  const auto loop = std::make_shared<MainThreadLoop>();
  const TestBrowserHostPtr host =
      TestBrowserHost::create(loop, TestBrowserHost::Page::WithoutWindow);
  EXPECT_FALSE(host->getDelayedInvokeDelegate());
  EXPECT_EQ(host->delayedInvoke(0, ScriptObject::makeFunction(host, nullptr), VariantList{}), -1);
  EXPECT_TRUE(host->evaluatedScripts().empty());
}

// --- Logging to the page ----------------------------------------------------

TEST_F(HostTest, HtmlLogReachesThePageConsoleThroughTheMainThreadQueue) {
  const auto messages = host->window()->installConsole();
  host->htmlLog("hello page");
  EXPECT_TRUE(messages->empty());
  ::testing::internal::CaptureStdout();
  loop->runPending();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Logging: hello page\n");
  EXPECT_EQ(*messages, std::vector<std::string>{"hello page"});
}

TEST_F(HostTest, HtmlLogWhenDisabledQueuesNothing) {
  const auto messages = host->window()->installConsole();
  host->setEnableHtmlLog(false);
  host->htmlLog("unseen");
  EXPECT_EQ(loop->queued(), 0u);
  EXPECT_TRUE(messages->empty());
}

TEST_F(HostTest, HtmlLogWithoutConsoleWritesNothing) {
  host->htmlLog("nowhere");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(loop->runPending(), 1u);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST_F(HostTest, HtmlLogSurvivesAFailingConsole) {
  auto console = std::make_shared<ScriptObject>(host);
  console->properties["log"] = JSObjectPtr(ScriptObject::makeFunction(
      host, [](const VariantList&) -> variant { throw FB::script_error("console broken"); }));
  host->window()->properties["console"] = JSObjectPtr(console);
  host->htmlLog("lost");
  ::testing::internal::CaptureStdout();
  EXPECT_NO_THROW(loop->runPending());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Logging: lost\n");
}

TEST(HtmlLogWithoutWindow, RunsWithoutEffect) {
  const auto loop = std::make_shared<MainThreadLoop>();
  const TestBrowserHostPtr host =
      TestBrowserHost::create(loop, TestBrowserHost::Page::WithoutWindow);
  host->htmlLog("no page");
  EXPECT_NO_THROW(loop->runPending());
}

// --- Retained objects -------------------------------------------------------

// A scriptable object that notes when the host shuts it down.
class ShutdownRecorder : public FB::JSAPIAuto {
 public:
  ShutdownRecorder(std::string label, std::shared_ptr<std::vector<std::string>> log)
      : label_(std::move(label)), log_(std::move(log)) {}
  void shutdown() override { log_->push_back(label_); }

 private:
  std::string label_;
  std::shared_ptr<std::vector<std::string>> log_;
};

TEST_F(HostTest, ReleasingWhatWasNeverRetainedChangesNothing) {
  auto log = std::make_shared<std::vector<std::string>>();
  auto kept = std::make_shared<ShutdownRecorder>("kept", log);
  const std::weak_ptr<ShutdownRecorder> weak_kept = kept;
  host->retainJSAPIPtr(kept);
  kept.reset();

  host->releaseJSAPIPtr(std::make_shared<ShutdownRecorder>("stranger", log));
  EXPECT_FALSE(weak_kept.expired());
  host->shutdown();
  EXPECT_EQ(*log, std::vector<std::string>{"kept"});
}

TEST_F(HostTest, ReleaseDropsOneRetentionAndReleasesDeferredObjects) {
  auto object = std::make_shared<FB::JSAPIAuto>();
  const std::weak_ptr<FB::JSAPIAuto> weak_object = object;
  host->retainJSAPIPtr(object);
  host->retainJSAPIPtr(object);
  object.reset();

  const int deferred = host->deferredReleases();
  host->releaseJSAPIPtr(weak_object.lock());
  EXPECT_FALSE(weak_object.expired());
  EXPECT_EQ(host->deferredReleases(), deferred + 1);
  host->releaseJSAPIPtr(weak_object.lock());
  EXPECT_TRUE(weak_object.expired());
}

TEST_F(HostTest, ShutdownShutsRetainedObjectsDownInOrderThenFreesThem) {
  auto log = std::make_shared<std::vector<std::string>>();
  std::vector<std::weak_ptr<ShutdownRecorder>> weak_objects;
  for (const char* label : {"first", "second", "third"}) {
    auto object = std::make_shared<ShutdownRecorder>(label, log);
    weak_objects.push_back(object);
    host->retainJSAPIPtr(object);
  }
  host->shutdown();
  EXPECT_EQ(*log, (std::vector<std::string>{"first", "second", "third"}));
  for (const auto& weak_object : weak_objects) EXPECT_TRUE(weak_object.expired());
  EXPECT_TRUE(host->isShutDown());
}

// --- The queue and shutdown -------------------------------------------------

struct RawCall {
  std::vector<int>* order;
  int label;
  static void run(void* data) {
    auto* call = static_cast<RawCall*>(data);
    call->order->push_back(call->label);
  }
};

TEST_F(HostTest, QueuedCallRunsOnceWhenTheBrowserDeliversIt) {
  std::vector<int> order;
  RawCall call{&order, 1};
  ASSERT_TRUE(host->ScheduleAsyncCall(&RawCall::run, &call));
  EXPECT_TRUE(order.empty());
  loop->runPending();
  host->shutdown();
  EXPECT_EQ(order, std::vector<int>{1});
}

TEST_F(HostTest, CallTheBrowserRefusesIsForgotten) {
  std::vector<int> order;
  RawCall call{&order, 1};
  loop->setAccepting(false);
  EXPECT_FALSE(host->ScheduleAsyncCall(&RawCall::run, &call));
  host->shutdown();  // would run it, had it stayed pending
  EXPECT_TRUE(order.empty());
}

TEST_F(HostTest, NothingIsQueuedAfterShutdown) {
  std::vector<int> order;
  RawCall call{&order, 1};
  host->shutdown();
  EXPECT_FALSE(host->ScheduleAsyncCall(&RawCall::run, &call));
  bool ran = false;
  host->ScheduleOnMainThread(host, [&ran] { ran = true; });
  EXPECT_EQ(loop->queued(), 0u);
  EXPECT_FALSE(ran);
}

TEST_F(HostTest, PendingCallsRunDuringShutdownInQueueOrderAndNeverAgain) {
  std::vector<int> order;
  std::vector<RawCall> calls{{&order, 1}, {&order, 2}, {&order, 3}};
  for (RawCall& call : calls) ASSERT_TRUE(host->ScheduleAsyncCall(&RawCall::run, &call));
  host->shutdown();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(loop->runPending(), 3u);  // the browser delivers them late
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(HostTest, ShutdownReachedAgainFromACallItRunsReturns) {
  int runs = 0;
  // A plug-in destroyed by a cancelled call shuts its host down again.
  host->ScheduleOnMainThread(host, [this, &runs] {
    ++runs;
    host->shutdown();
  });
  host->shutdown();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(host->isShutDown());
}

// The browser may run a queued callback after the host, and with it every
// record it made, is gone; the callback must find nothing and read nothing.
TEST_F(HostTest, WrappersRunAfterTheHostIsDestroyedDoNothing) {
  std::vector<int> order;
  std::vector<RawCall> calls{{&order, 1}, {&order, 2}};
  for (RawCall& call : calls) ASSERT_TRUE(host->ScheduleAsyncCall(&RawCall::run, &call));
  auto kept = std::make_shared<int>(0);
  const std::weak_ptr<int> weak_kept = kept;
  host->ScheduleOnMainThread(kept, [&order] { order.push_back(3); });
  kept.reset();
  host->shutdown();
  const int hosts = TestBrowserHost::getInstanceCount();
  const std::weak_ptr<TestBrowserHost> weak_host = host;
  host.reset();
  ASSERT_TRUE(weak_host.expired());
  EXPECT_EQ(TestBrowserHost::getInstanceCount(), hosts - 1);
  EXPECT_TRUE(weak_kept.expired());

  EXPECT_EQ(loop->runPending(), 3u);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(HostTest, HostDestroyedWithoutShutdownRunsItsPendingCallsOnce) {
  std::vector<int> order;
  RawCall call{&order, 1};
  ASSERT_TRUE(host->ScheduleAsyncCall(&RawCall::run, &call));
  host.reset();
  EXPECT_EQ(order, std::vector<int>{1});
  loop->runPending();
  EXPECT_EQ(order, std::vector<int>{1});
}

TEST_F(HostTest, ScheduledCallKeepsItsObjectAliveUntilItHasRun) {
  auto object = std::make_shared<std::string>("kept");
  const std::weak_ptr<std::string> weak_object = object;
  std::string seen;
  std::string* const raw = object.get();
  host->ScheduleOnMainThread(object, [raw, &seen] { seen = *raw; });
  object.reset();
  EXPECT_FALSE(weak_object.expired());
  loop->runPending();
  EXPECT_EQ(seen, "kept");
  EXPECT_TRUE(weak_object.expired());
}

TEST_F(HostTest, RefusedScheduledCallReleasesItsObjectAtOnce) {
  auto object = std::make_shared<int>(1);
  const std::weak_ptr<int> weak_object = object;
  bool ran = false;
  loop->setAccepting(false);
  host->ScheduleOnMainThread(object, [&ran] { ran = true; });
  object.reset();
  EXPECT_TRUE(weak_object.expired());
  host->shutdown();
  EXPECT_FALSE(ran);
}

TEST_F(HostTest, FailuresOfScheduledCallsStayOnTheMainThreadQueue) {
  std::vector<int> order;
  host->ScheduleOnMainThread(host, [] { throw FB::script_error("page failure"); });
  host->ScheduleOnMainThread(host, [] { throw FB::bad_variant_cast("i", "b"); });
  host->ScheduleOnMainThread(host, [] { throw std::runtime_error("plugin failure"); });
  host->ScheduleOnMainThread(host, [&order] { order.push_back(4); });
  EXPECT_NO_THROW(loop->runPending());
  EXPECT_EQ(order, std::vector<int>{4});
}

TEST_F(HostTest, CallOnMainThreadOnTheMainThreadRunsAtOnceEvenAfterShutdown) {
  EXPECT_EQ(host->CallOnMainThread([] { return 42; }), 42);
  host->shutdown();
  EXPECT_EQ(host->CallOnMainThread([] { return std::string("still"); }), "still");
  EXPECT_THROW(host->CallOnMainThread([]() -> int { throw FB::script_error("direct"); }),
               FB::script_error);
  EXPECT_EQ(loop->queued(), 0u);
}

// A queued call that calls back onto the main thread runs it directly, while
// further calls wait in the queue and while shutdown runs the pending ones.
TEST_F(HostTest, CallOnMainThreadFromQueuedCallsDoesNotWaitForTheQueue) {
  std::vector<int> results;
  const auto nested = [this, &results] {
    results.push_back(host->CallOnMainThread([] { return 1; }));
    host->ScheduleOnMainThread(host, [&results] { results.push_back(2); });
  };
  host->ScheduleOnMainThread(host, nested);
  host->ScheduleOnMainThread(host, [&results] { results.push_back(3); });
  loop->runPending();
  EXPECT_EQ(results, (std::vector<int>{1, 3, 2}));

  results.clear();
  host->ScheduleOnMainThread(host, nested);
  host->shutdown();
  EXPECT_EQ(results, std::vector<int>{1});  // the call it schedules is refused
}

TEST(HostInstances, AreCountedByConstructionAndDestruction) {
  const auto loop = std::make_shared<MainThreadLoop>();
  const int before = FB::BrowserHost::getInstanceCount();
  {
    const TestBrowserHostPtr first = TestBrowserHost::create(loop);
    const TestBrowserHostPtr second = TestBrowserHost::create(loop);
    EXPECT_EQ(FB::BrowserHost::getInstanceCount(), before + 2);
  }
  EXPECT_EQ(FB::BrowserHost::getInstanceCount(), before);
}

}  // namespace
