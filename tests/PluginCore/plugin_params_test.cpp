// The page's <param> values: stored, merged, resolved to page functions
// when their names begin with "on", read back, and "windowless".

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "ScriptingCore/bad_variant_cast.h"
#include "ScriptingCore/variant.h"
#include "test_browser_host.h"
#include "test_plugin.h"

namespace {

using FB::JSObjectPtr;
using FB::variant;
using FB::VariantList;
using FB::VariantMap;
using FB::testing::MainThreadLoop;
using FB::testing::ScriptObjectPtr;
using FB::testing::TestBrowserHost;
using FB::testing::TestBrowserHostPtr;
using FB::testing::TestPlugin;

class Params : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin->SetHost(host);
    handler = host->window()->defineFunction("handler", nullptr);
  }

  std::shared_ptr<MainThreadLoop> loop = std::make_shared<MainThreadLoop>();
  TestBrowserHostPtr host = TestBrowserHost::create(loop);
  std::shared_ptr<TestPlugin> plugin = std::make_shared<TestPlugin>();
  ScriptObjectPtr handler;
};

TEST_F(Params, OnNamesBecomeThePageFunctionsTheyName) {
  plugin->setParams(
      VariantMap{{"onfoo", "handler"}, {"Onfoo", "handler"}, {"o", "handler"}, {"timeout", "5"}});
  EXPECT_EQ(plugin->getParamVariant("onfoo").convert_cast<JSObjectPtr>(), handler);
  EXPECT_EQ(plugin->getParam("Onfoo"), std::optional<std::string>("handler"));
  EXPECT_EQ(plugin->getParam("o"), std::optional<std::string>("handler"));
  EXPECT_EQ(plugin->getParam("timeout"), std::optional<std::string>("5"));
}

TEST_F(Params, OnNameForNothingInThePageIsStoredEmpty) {
  plugin->setParams(VariantMap{{"onmissing", "nosuch"}});
  const variant stored = plugin->getParamVariant("onmissing");
  EXPECT_TRUE(stored.empty() || stored.is_null());
  EXPECT_FALSE(stored.convert_cast<JSObjectPtr>());
}

TEST_F(Params, ParamThatIsNoTextIsKeptAsItCameAndTheRestGoOn) {
  const VariantList list{1, 2};
  plugin->setParams(VariantMap{{"onlist", list}, {"onfoo", "handler"}, {"plain", "p"}});
  EXPECT_EQ(plugin->getParamVariant("onlist").convert_cast<VariantList>().size(), 2u);
  EXPECT_EQ(plugin->getParamVariant("onfoo").convert_cast<JSObjectPtr>(), handler);
  EXPECT_EQ(plugin->getParam("plain"), std::optional<std::string>("p"));
}

TEST_F(Params, SecondCallMerges) {
  plugin->setParams(VariantMap{{"a", "1"}, {"b", "2"}});
  plugin->setParams(VariantMap{{"b", "3"}, {"c", "4"}});
  EXPECT_EQ(plugin->getParam("a"), std::optional<std::string>("1"));
  EXPECT_EQ(plugin->getParam("b"), std::optional<std::string>("3"));
  EXPECT_EQ(plugin->getParam("c"), std::optional<std::string>("4"));
}

TEST_F(Params, ReadingMissingAndNonTextParams) {
  plugin->setParams(VariantMap{{"onfoo", "handler"}});
  EXPECT_EQ(plugin->getParam("nosuch"), std::nullopt);
  EXPECT_TRUE(plugin->getParamVariant("nosuch").empty());
  EXPECT_THROW(plugin->getParam("onfoo"), FB::bad_variant_cast);
}

// Without a page window an "on" name cannot be resolved: it is kept as its
// text and the other parameters are stored as usual.
struct NoPageCase {
  const char* label;
  bool with_host;
};

class ParamsWithoutPage : public ::testing::TestWithParam<NoPageCase> {};

TEST_P(ParamsWithoutPage, OnNamesStayTextAndOthersAreStored) {
  const auto loop = std::make_shared<MainThreadLoop>();
  const auto plugin = std::make_shared<TestPlugin>();
  if (GetParam().with_host) {
    plugin->SetHost(TestBrowserHost::create(loop, TestBrowserHost::Page::WithoutWindow));
  }
  plugin->setParams(VariantMap{{"onload", "loaded"}, {"onfoo", "handler"}, {"timeout", "3"}});
  EXPECT_EQ(plugin->getParam("onload"), std::optional<std::string>("loaded"));
  EXPECT_EQ(plugin->getParam("onfoo"), std::optional<std::string>("handler"));
  EXPECT_EQ(plugin->getParam("timeout"), std::optional<std::string>("3"));
  EXPECT_FALSE(plugin->setReady());
  EXPECT_EQ(plugin->readied, 1);
}

INSTANTIATE_TEST_SUITE_P(HostWithoutWindowOrNoHost, ParamsWithoutPage,
                         ::testing::Values(NoPageCase{"HostWithoutWindow", true},
                                           NoPageCase{"NoHost", false}),
                         [](const ::testing::TestParamInfo<NoPageCase>& info) {
                           return info.param.label;
                         });

struct WindowlessCase {
  std::optional<std::string> value;  // none: no "windowless" parameter
  bool windowless;
};

class Windowless : public ::testing::TestWithParam<WindowlessCase> {};

TEST_P(Windowless, IsDecidedOnceFromTheParameter) {
  const auto plugin = std::make_shared<TestPlugin>();
  if (GetParam().value) plugin->setParams(VariantMap{{"windowless", *GetParam().value}});
  EXPECT_EQ(plugin->isWindowless(), GetParam().windowless);
  plugin->setParams(VariantMap{{"windowless", GetParam().windowless ? "false" : "true"}});
  EXPECT_EQ(plugin->isWindowless(), GetParam().windowless);
}

INSTANTIATE_TEST_SUITE_P(Values, Windowless,
                         ::testing::Values(WindowlessCase{"true", true},
                                           WindowlessCase{"yes", true}, WindowlessCase{"1", true},
                                           WindowlessCase{"t", true}, WindowlessCase{"y", true},
                                           WindowlessCase{"no", false},
                                           WindowlessCase{"maybe", false},
                                           WindowlessCase{std::nullopt, false}));

TEST(WindowlessParam, ThatDoesNotConvertCountsAsFalse) {
  const auto plugin = std::make_shared<TestPlugin>();
  plugin->setParams(VariantMap{{"windowless", VariantList{1}}});
  EXPECT_FALSE(plugin->isWindowless());
}

}  // namespace
