// A plug-in instance over the test host: "onload" when ready, the root
// object, its window, and its lifetime.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/variant.h"
#include "test_browser_host.h"
#include "test_plugin.h"

namespace {

using FB::JSAPIPtr;
using FB::variant;
using FB::VariantList;
using FB::VariantMap;
using FB::testing::MainThreadLoop;
using FB::testing::NamedWindow;
using FB::testing::TestBrowserHost;
using FB::testing::TestBrowserHostPtr;
using FB::testing::TestPlugin;

class Plugin : public ::testing::Test {
 protected:
  void SetUp() override { plugin->SetHost(host); }

  std::shared_ptr<MainThreadLoop> loop = std::make_shared<MainThreadLoop>();
  TestBrowserHostPtr host = TestBrowserHost::create(loop);
  std::shared_ptr<TestPlugin> plugin = std::make_shared<TestPlugin>();
};

TEST_F(Plugin, OnloadRunsFromAPageTimer250MsAfterReadyWithTheRootObject) {
  std::vector<VariantList> onload_calls;
  host->window()->defineFunction("loaded", [&](const VariantList& arguments) {
    onload_calls.push_back(arguments);
    return variant();
  });
  plugin->setParams(VariantMap{{"onload", "loaded"}});

  EXPECT_TRUE(plugin->setReady());
  EXPECT_EQ(plugin->readied, 1);
  host->window()->advanceTime(249);
  EXPECT_TRUE(onload_calls.empty());
  host->window()->advanceTime(1);
  ASSERT_EQ(onload_calls.size(), 1u);
  ASSERT_EQ(onload_calls[0].size(), 1u);
  EXPECT_EQ(onload_calls[0][0].convert_cast<JSAPIPtr>(), plugin->getRootJSAPI());
  EXPECT_EQ(plugin->created, 1);
}

struct NotReadyCase {
  const char* label;
  VariantMap params;
};

class ReadyWithoutOnload : public Plugin, public ::testing::WithParamInterface<NotReadyCase> {};

TEST_P(ReadyWithoutOnload, ReturnsFalseAndStillCallsOnPluginReady) {
  plugin->setParams(GetParam().params);
  EXPECT_FALSE(plugin->setReady());
  EXPECT_EQ(plugin->readied, 1);
  host->window()->advanceTime(1000);
  EXPECT_EQ(host->window()->pendingTimers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadyWithoutOnload,
    ::testing::Values(NotReadyCase{"NoOnloadParameter", VariantMap{{"timeout", "5"}}},
                      NotReadyCase{"OnloadNamesNothing", VariantMap{{"onload", "nosuch"}}}),
    [](const ::testing::TestParamInfo<NotReadyCase>& info) { return info.param.label; });

TEST_F(Plugin, FailingRootObjectDoesNotFailReadiness) {
  host->window()->defineFunction("loaded", nullptr);
  plugin->setParams(VariantMap{{"onload", "loaded"}});
  plugin->fail_creation = true;
  EXPECT_FALSE(plugin->setReady());
  EXPECT_EQ(plugin->readied, 1);
}

TEST_F(Plugin, RootObjectIsMadeOnceUntilReleased) {
  const JSAPIPtr first = plugin->getRootJSAPI();
  EXPECT_EQ(plugin->getRootJSAPI(), first);
  EXPECT_EQ(plugin->created, 1);
  plugin->releaseRootJSAPI();
  EXPECT_NE(plugin->getRootJSAPI(), first);
  EXPECT_EQ(plugin->created, 2);
}

TEST_F(Plugin, RootObjectFailureReachesTheCallerAndIsRetried) {
  plugin->fail_creation = true;
  EXPECT_THROW(plugin->getRootJSAPI(), std::runtime_error);
  plugin->fail_creation = false;
  EXPECT_TRUE(plugin->getRootJSAPI());
  EXPECT_EQ(plugin->created, 2);
}

TEST_F(Plugin, SecondWindowDetachesTheFirstThenAttaches) {
  const auto first = std::make_shared<NamedWindow>("first");
  const auto second = std::make_shared<NamedWindow>("second");
  plugin->SetWindow(first.get());
  EXPECT_EQ(plugin->GetWindow(), first.get());
  plugin->SetWindow(second.get());
  EXPECT_EQ(plugin->GetWindow(), second.get());
  plugin->ClearWindow();
  EXPECT_EQ(plugin->GetWindow(), nullptr);
  EXPECT_EQ(plugin->events, (std::vector<std::string>{"attached first", "detached first",
                                                      "attached second", "detached second"}));

  // The first window no longer has the core among its sinks.
  FB::AttachedEvent probe;
  EXPECT_FALSE(first->SendEvent(&probe));
  EXPECT_EQ(plugin->events.size(), 4u);
}

TEST_F(Plugin, ClearWindowWithoutWindowAndSettingTheSameWindowTwice) {
  plugin->ClearWindow();
  EXPECT_TRUE(plugin->events.empty());

  const auto window = std::make_shared<NamedWindow>("only");
  plugin->SetWindow(window.get());
  plugin->SetWindow(window.get());
  FB::AttachedEvent probe;
  window->SendEvent(&probe);
  // One attachment: one AttachedEvent on attaching, one copy of the probe.
  EXPECT_EQ(plugin->events, (std::vector<std::string>{"attached only", "attached only"}));

  plugin->SetWindow(nullptr);
  EXPECT_EQ(plugin->GetWindow(), nullptr);
  EXPECT_EQ(plugin->events.back(), "detached only");
}

TEST_F(Plugin, HostServicesAndFlags) {
  EXPECT_EQ(plugin->getHost(), host);
  EXPECT_FALSE(plugin->isScriptingOnly());
  plugin->setScriptingOnly(true);
  EXPECT_TRUE(plugin->isScriptingOnly());
  FB::BrowserStreamRequest request("http://example.invalid/", "GET");
  plugin->handleUnsolicitedStream(request);
  EXPECT_FALSE(request.wasAccepted());
}

TEST(PluginLifetime, CountsLiveCoresAndShutsTheHostDownOnDestruction) {
  const auto loop = std::make_shared<MainThreadLoop>();
  const TestBrowserHostPtr host = TestBrowserHost::create(loop);
  const int before = FB::PluginCore::getActivePluginCount();
  auto first = std::make_shared<TestPlugin>();
  auto second = std::make_shared<TestPlugin>();
  EXPECT_EQ(FB::PluginCore::getActivePluginCount(), before + 2);

  first->SetHost(host);
  const std::weak_ptr<FB::JSAPI> root = first->getRootJSAPI();
  host->retainJSAPIPtr(root.lock());
  first.reset();
  EXPECT_TRUE(host->isShutDown());
  EXPECT_TRUE(root.expired());  // the host released what it retained
  second.reset();
  EXPECT_EQ(FB::PluginCore::getActivePluginCount(), before);
}

}  // namespace
