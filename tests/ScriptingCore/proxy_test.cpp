#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/JSAPIAuto.h"
#include "recording_handler.h"
#include "same_value.h"

namespace {

using FB::JSAPIPtr;
using FB::variant;
using FB::VariantList;
using FB::VariantMap;
using FB::testing::CallLog;
using FB::testing::eventContext;
using FB::testing::RecordingHandler;
using FB::testing::same;
using Lines = std::vector<std::string>;

// A source object whose events are re-fired by proxies, each with a
// handler of its own.
class Proxies : public ::testing::Test {
 protected:
  std::shared_ptr<FB::JSAPIAuto> withHandler(const std::string& label) {
    auto object = std::make_shared<FB::JSAPIAuto>();
    object->registerEventMethod("onx", RecordingHandler::make(label, eventContext(0), log));
    return object;
  }

  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  std::shared_ptr<FB::JSAPIAuto> source = withHandler("S");
};

TEST_F(Proxies, FireBeforeTheSourceInRegistrationOrder) {
  auto first = withHandler("P1");
  auto second = withHandler("P2");
  source->registerProxy(first);
  source->registerProxy(second);
  source->FireEvent("onx", {});
  EXPECT_EQ(log->summaries(), (Lines{"P1()", "P2()", "S()"}));
}

TEST_F(Proxies, ReceiveArgumentsNamingThemInsteadOfTheSource) {
  auto proxy = withHandler("P");
  source->registerProxy(proxy);
  const JSAPIPtr self = source;
  const JSAPIPtr other = std::make_shared<FB::JSAPIAuto>();
  const auto page = RecordingHandler::make("page", eventContext(0), nullptr);
  const VariantList arguments{
      self, VariantList{self, VariantList{self}}, VariantMap{{"k", self}}, other, 5, page};

  source->FireEvent("onx", arguments);

  const JSAPIPtr as_proxy = proxy;
  const auto calls = log->calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_TRUE(
      same(calls[0].arguments, VariantList{as_proxy, VariantList{as_proxy, VariantList{as_proxy}},
                                           VariantMap{{"k", as_proxy}}, other, 5, page}));
  EXPECT_TRUE(same(calls[1].arguments, arguments));  // the source's own handlers: unchanged
}

TEST_F(Proxies, DeadProxyIsDroppedAndTheOthersStillFire) {
  auto doomed = withHandler("P1");
  auto survivor = withHandler("P2");
  source->registerProxy(doomed);
  source->registerProxy(survivor);
  doomed.reset();
  source->FireEvent("onx", {});
  source->FireEvent("onx", {});
  EXPECT_EQ(log->summaries(), (Lines{"P2()", "S()", "P2()", "S()"}));
}

TEST_F(Proxies, UnregisteredProxyFiresNoMore) {
  auto proxy = withHandler("P");
  source->registerProxy(proxy);
  source->unregisterProxy(proxy);
  source->unregisterProxy(proxy);  // nothing left to remove
  source->FireEvent("onx", {});
  EXPECT_EQ(log->summaries(), Lines{"S()"});
}

// A proxy chain that leads back to the source fires each object's handlers
// once instead of for ever.
TEST_F(Proxies, ChainBackToTheSourceFiresEachOnce) {
  auto proxy = withHandler("P");
  source->registerProxy(proxy);
  proxy->registerProxy(source);
  source->registerProxy(source);
  source->FireEvent("onx", {});
  source->FireJSEvent("onx", VariantList{});
  EXPECT_EQ(log->summaries(), (Lines{"P()", "S()", "P()", "S()"}));
}

TEST_F(Proxies, JSEventNamesTheProxyAsTarget) {
  auto proxy = withHandler("P");
  source->registerProxy(proxy);
  const JSAPIPtr self = source;
  source->FireJSEvent("onx", VariantMap{{"origin", self}}, VariantList{self});

  const JSAPIPtr as_proxy = proxy;
  const auto calls = log->calls();
  ASSERT_EQ(calls.size(), 2u);
  const VariantMap at_proxy = calls[0].arguments.at(0).cast<VariantMap>();
  EXPECT_TRUE(same(at_proxy.at("target"), as_proxy));
  EXPECT_TRUE(same(at_proxy.at("origin"), as_proxy));
  EXPECT_TRUE(same(at_proxy.at("arguments"), VariantList{as_proxy}));
  const VariantMap at_source = calls[1].arguments.at(0).cast<VariantMap>();
  EXPECT_TRUE(same(at_source.at("target"), self));
  EXPECT_TRUE(same(at_source.at("origin"), self));
}

TEST_F(Proxies, InvalidProxyFiresNothingButOthersDo) {
  auto invalid = withHandler("P1");
  auto valid = withHandler("P2");
  source->registerProxy(invalid);
  source->registerProxy(valid);
  invalid->invalidate();
  source->FireEvent("onx", {});
  EXPECT_EQ(log->summaries(), (Lines{"P2()", "S()"}));
}

}  // namespace
