// Asynchronous calls of page objects: queued to the main thread, then run by
// the page from a zero-delay timer. All on the main thread here; a worker's
// calls are in cross_thread_test.cpp.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ScriptingCore/JSAPIAuto.h"
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

// A page function with a method "m"; each notes the arguments it was called
// with, prefixed by who was called.
struct PageHandler {
  explicit PageHandler(const TestBrowserHostPtr& host) {
    auto log = calls;
    object = ScriptObject::makeFunction(host, [log](const VariantList& arguments) {
      log->push_back("f" + describe(arguments));
      return variant();
    });
    object->properties["m"] =
        JSObjectPtr(ScriptObject::makeFunction(host, [log](const VariantList& arguments) {
          log->push_back("m" + describe(arguments));
          return variant();
        }));
  }
  static std::string describe(const VariantList& arguments) {
    std::string text = "(";
    for (const variant& argument : arguments) {
      if (text.size() > 1) text += ",";
      text += argument.convert_cast<std::string>();
    }
    return text + ")";
  }
  std::shared_ptr<std::vector<std::string>> calls = std::make_shared<std::vector<std::string>>();
  ScriptObjectPtr object;
};

class ScriptObjectCalls : public ::testing::Test {
 protected:
  std::shared_ptr<MainThreadLoop> loop = std::make_shared<MainThreadLoop>();
  TestBrowserHostPtr host = TestBrowserHost::create(loop);
  PageHandler handler{host};
};

struct InvokeCase {
  const char* label;
  std::string method_name;
  VariantList arguments;
  std::string expected;
};

class InvokeAsync : public ScriptObjectCalls, public ::testing::WithParamInterface<InvokeCase> {};

TEST_P(InvokeAsync, RunsOnlyAfterTheQueueAndAZeroDelayTimer) {
  handler.object->InvokeAsync(GetParam().method_name, GetParam().arguments);
  EXPECT_EQ(loop->queued(), 1u);
  EXPECT_TRUE(handler.calls->empty());

  loop->runPending();
  EXPECT_TRUE(handler.calls->empty());
  EXPECT_EQ(host->window()->pendingTimers(), 1u);

  host->window()->advanceTime(0);
  EXPECT_EQ(*handler.calls, std::vector<std::string>{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(
    FunctionOrMethod, InvokeAsync,
    ::testing::Values(InvokeCase{"FunctionItself", "", VariantList{1, 2}, "f(1,2)"},
                      InvokeCase{"MethodOfTheObject", "m", VariantList{2}, "m(2)"}),
    [](const ::testing::TestParamInfo<InvokeCase>& info) { return info.param.label; });

TEST_F(ScriptObjectCalls, QueuedCallKeepsThePageObjectAlive) {
  const std::weak_ptr<ScriptObject> weak_object = handler.object;
  handler.object->InvokeAsync("", VariantList{"late"});
  handler.object.reset();
  loop->runPending();
  host->window()->advanceTime(0);
  EXPECT_EQ(*handler.calls, std::vector<std::string>{"f(late)"});
  EXPECT_TRUE(weak_object.expired());
}

TEST_F(ScriptObjectCalls, SetPropertyAsyncWritesOnTheMainThread) {
  handler.object->SetPropertyAsync("answer", 42);
  EXPECT_FALSE(handler.object->HasProperty("answer"));
  loop->runPending();
  EXPECT_EQ(handler.object->GetProperty("answer").convert_cast<int>(), 42);
}

TEST_F(ScriptObjectCalls, CallsAfterTheHostHasGoneFailAsNoScriptError) {
  host.reset();
  for (const auto& call :
       {std::function<void()>([&] { handler.object->InvokeAsync("", {}); }),
        std::function<void()>([&] { handler.object->SetPropertyAsync("x", 1); })}) {
    try {
      call();
      ADD_FAILURE() << "no exception";
    } catch (const FB::script_error&) {
      ADD_FAILURE() << "a script error would be swallowed by event firing";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Cannot invoke asynchronously");
    }
  }
}

TEST_F(ScriptObjectCalls, CallsToAShutDownHostAreDropped) {
  host->shutdown();
  EXPECT_NO_THROW(handler.object->InvokeAsync("", VariantList{1}));
  EXPECT_NO_THROW(handler.object->SetPropertyAsync("x", 1));
  EXPECT_EQ(loop->queued(), 0u);
  EXPECT_FALSE(handler.object->HasProperty("x"));
}

TEST_F(ScriptObjectCalls, QueuedCallWhoseHostHasGoneDoesNothing) {
  handler.object->InvokeAsync("", VariantList{1});
  // Destroyed without shutdown: the queued call still runs once, and finds
  // no host to ask the page with.
  host.reset();
  EXPECT_NO_THROW(loop->runPending());
  EXPECT_TRUE(handler.calls->empty());
}

TEST(ScriptObjectCallsWithoutWindow, NothingIsCalled) {
  const auto loop = std::make_shared<MainThreadLoop>();
  const TestBrowserHostPtr host =
      TestBrowserHost::create(loop, TestBrowserHost::Page::WithoutWindow);
  PageHandler handler(host);
  handler.object->InvokeAsync("", VariantList{1});
  EXPECT_NO_THROW(loop->runPending());
  EXPECT_TRUE(handler.calls->empty());
}

// An event fired on a scriptable object reaches a page listener through the
// same path: the registry's InvokeAsync, the queue, the page timer.
TEST_F(ScriptObjectCalls, FiredEventReachesThePageListener) {
  const auto source = std::make_shared<FB::JSAPIAuto>();
  source->registerEventMethod("ontimeout", handler.object);
  source->FireEvent("ontimeout", VariantList{"late"});
  EXPECT_TRUE(handler.calls->empty());
  loop->runPending();
  host->window()->advanceTime(0);
  EXPECT_EQ(*handler.calls, std::vector<std::string>{"f(late)"});
}

}  // namespace
