#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/script_error.h"
#include "recording_handler.h"
#include "same_value.h"

namespace {

using FB::variant;
using FB::VariantList;
using FB::VariantMap;
using FB::testing::CallLog;
using FB::testing::eventContext;
using FB::testing::RecordingHandler;
using FB::testing::same;
using Lines = std::vector<std::string>;

struct Registration {
  std::string label;
  int context;
  bool optimized = false;
  bool valid = true;
  std::string event = "ontimeout";
};

struct DeliveryCase {
  const char* name;
  std::vector<Registration> handlers;    // registered in this order
  std::vector<Registration> interfaces;  // at most one per context: their order is by address
  Lines expected;
};

// Names the case in test listings instead of its bytes.
void PrintTo(const DeliveryCase& c, std::ostream* os) { *os << c.name; }

class HandledContexts : public ::testing::TestWithParam<DeliveryCase> {};

TEST_P(HandledContexts, DecideWhoIsCalledAndHow) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  std::vector<std::shared_ptr<RecordingHandler>> keep;
  auto make = [&](const Registration& entry) {
    auto handler = RecordingHandler::make(entry.label, eventContext(entry.context), log);
    handler->optimized = entry.optimized;
    handler->valid = entry.valid;
    keep.push_back(handler);
    return handler;
  };
  for (const Registration& entry : GetParam().handlers) {
    source->registerEventMethod(entry.event, make(entry));
  }
  for (const Registration& entry : GetParam().interfaces) {
    source->registerEventInterface(make(entry));
  }

  source->FireEvent("ontimeout", VariantList{7});

  EXPECT_EQ(log->summaries(), GetParam().expected);
  for (const auto& call : log->calls()) {
    EXPECT_TRUE(same(call.arguments, VariantList{7})) << call.summary;
  }
}

INSTANTIATE_TEST_SUITE_P(
    FireAsyncEvent, HandledContexts,
    ::testing::Values(
        DeliveryCase{"NothingRegistered", {}, {}, {}},
        DeliveryCase{"PlainHandlersInRegistrationOrder",
                     {{"B", 0}, {"A", 0}, {"C", 0}},
                     {},
                     {"B()", "A()", "C()"}},
        DeliveryCase{"OptimizedFirstHandlerTakesTheWholeContext",
                     {{"A", 0, true}, {"B", 0}},
                     {{"I", 0}},
                     {"A*ontimeout[A,B|I]"}},
        DeliveryCase{"OptimizedAfterPlainIsCalledPlainly",
                     {{"A", 0}, {"B", 0, true}},
                     {{"I", 0}},
                     {"A()", "B()", "I(ontimeout)"}},
        DeliveryCase{"InvalidHandlerSkippedButHandedOn",
                     {{"A", 0, false, false}, {"B", 0, true}, {"C", 0}},
                     {},
                     {"B*ontimeout[A,B,C|]"}},
        DeliveryCase{"InvalidPlainHandlerSkipped", {{"A", 0, false, false}, {"B", 0}}, {}, {"B()"}},
        DeliveryCase{
            "ContextsInAscendingOrder", {{"A", 2}, {"B", 0}, {"C", 1}}, {}, {"B()", "C()", "A()"}},
        DeliveryCase{"InterfacesOfUnhandledContextsAreCalled",
                     {{"A", 0, true}},
                     {{"I", 0}, {"J", 1}},
                     {"A*ontimeout[A|I]", "J(ontimeout)"}},
        DeliveryCase{
            "OptimizedInterfaceDeliversForItsContext", {}, {{"J", 1, true}}, {"J*ontimeout[|J]"}},
        DeliveryCase{"InvalidInterfaceSkipped", {}, {{"I", 0, false, false}}, {}},
        DeliveryCase{"HandlersOfOtherEventsNeitherCalledNorHandling",
                     {{"A", 0, true, true, "onload"}},
                     {{"I", 0}},
                     {"I(ontimeout)"}}),
    [](const ::testing::TestParamInfo<DeliveryCase>& info) { return info.param.name; });

// Within a context an optimized interface speaks for all of them, whatever
// their order; plain ones are each called.
TEST(InterfaceDelivery, OneContextManyInterfaces) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  auto first = RecordingHandler::make("I", eventContext(0), log);
  auto second = RecordingHandler::make("J", eventContext(0), log);
  source->registerEventInterface(first);
  source->registerEventInterface(second);
  source->registerEventInterface(first);  // replaces its own entry

  source->FireEvent("onx", {});
  Lines plain = log->summaries();
  std::sort(plain.begin(), plain.end());
  EXPECT_EQ(plain, (Lines{"I(onx)", "J(onx)"}));

  const auto log2 = std::make_shared<CallLog>();
  auto optimized = RecordingHandler::make("K", eventContext(1), log2);
  auto other = RecordingHandler::make("L", eventContext(1), log2);
  optimized->optimized = true;
  const auto source2 = std::make_shared<FB::JSAPIAuto>();
  source2->registerEventInterface(optimized);
  source2->registerEventInterface(other);
  source2->FireEvent("onx", {});
  // Lower addresses come first: L is called plainly only if it sorts first.
  const bool other_first = other.get() < optimized.get();
  const std::string all = other_first ? "L,K" : "K,L";
  const Lines expected =
      other_first ? Lines{"L(onx)", "K*onx[|" + all + "]"} : Lines{"K*onx[|" + all + "]"};
  EXPECT_EQ(log2->summaries(), expected);
}

TEST(EventFiring, NoEventsAfterInvalidate) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  const auto handler = RecordingHandler::make("A", eventContext(0), log);
  source->registerEventMethod("ontimeout", handler);
  source->registerEventInterface(RecordingHandler::make("I", eventContext(0), log));
  source->SetProperty("ontimeout", handler);
  source->invalidate();

  source->FireEvent("ontimeout", {});
  source->FireEvent(std::wstring(L"ontimeout"), {});
  source->FireJSEvent("ontimeout", VariantMap{}, VariantList{});
  EXPECT_TRUE(log->calls().empty());
}

TEST(EventFiring, WideNameFiresTheSameEvent) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  source->registerEventMethod(std::wstring(L"on\u00e9t\u00e9"),
                              RecordingHandler::make("A", eventContext(0), log));
  source->FireEvent(std::wstring(L"on\u00e9t\u00e9"), {});
  source->FireEvent(std::string("on\xc3\xa9t\xc3\xa9"), {});
  EXPECT_EQ(log->summaries(), (Lines{"A()", "A()"}));
}

// A page whose host has gone must not keep the event from the others; the
// firing code still hears of it.
TEST(EventFiring, BrokenHandlerDoesNotStopTheOthers) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  auto broken = RecordingHandler::make("A", eventContext(0), log);
  broken->host_gone = true;
  source->registerEventMethod("ontimeout", broken);
  source->registerEventMethod("ontimeout", RecordingHandler::make("B", eventContext(0), log));
  source->registerEventInterface(RecordingHandler::make("I", eventContext(1), log));

  try {
    source->FireEvent("ontimeout", {});
    ADD_FAILURE() << "the broken delivery must reach the firing code";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Cannot invoke asynchronously");
  }
  EXPECT_EQ(log->summaries(), (Lines{"B()", "I(ontimeout)"}));
}

TEST(EventFiring, ScriptErrorsOfDeliveryAreDiscarded) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  auto failing = RecordingHandler::make("A", eventContext(0), log);
  failing->script_failure = true;
  source->registerEventMethod("onx", failing);
  source->registerEventMethod("onx", RecordingHandler::make("B", eventContext(0), log));

  EXPECT_NO_THROW(source->FireEvent("onx", {}));
  EXPECT_NO_THROW(source->FireJSEvent("onx", VariantList{}));
  EXPECT_EQ(log->summaries(), (Lines{"B()", "B()"}));
  EXPECT_EQ(failing->calls, 2);
}

// A script error first must not hide a broken delivery after it.
TEST(EventFiring, BrokenDeliveryWinsOverEarlierScriptError) {
  const auto source = std::make_shared<FB::JSAPIAuto>();
  auto failing = RecordingHandler::make("A", eventContext(0), nullptr);
  failing->script_failure = true;
  auto broken = RecordingHandler::make("B", eventContext(0), nullptr);
  broken->host_gone = true;
  source->registerEventMethod("onx", failing);
  source->registerEventMethod("onx", broken);
  EXPECT_THROW(source->FireEvent("onx", {}), std::runtime_error);
  EXPECT_THROW(source->FireJSEvent("onx", VariantList{}), std::runtime_error);
}

TEST(FireJSEvent, HandlersGetOneEventObject) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  source->registerEventMethod("onx", RecordingHandler::make("A", eventContext(0), log));
  source->registerEventInterface(RecordingHandler::make("I", eventContext(1), log));

  source->FireJSEvent("onx", VariantMap{{"type", "other"}, {"extra", 1}}, VariantList{5});

  const FB::JSAPIPtr self = source;
  const VariantMap expected{
      {"type", "onx"},
      {"namespaceURI", "onx"},
      {"extra", 1},
      {"arguments", VariantList{5}},
      {"eventPhase", 2},
      {"bubbles", false},
      {"cancelable", false},
      {"target", self},
      {"currentTarget", self},
  };
  const auto calls = log->calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].summary, "A()");
  EXPECT_EQ(calls[1].summary, "I(onx)");
  for (const auto& call : calls) {
    ASSERT_EQ(call.arguments.size(), 1u);
    const VariantMap event = call.arguments[0].cast<VariantMap>();
    EXPECT_TRUE(same(event, expected));
    EXPECT_EQ(event.at("target").cast<FB::JSAPIPtr>(), self);
    EXPECT_EQ(event.at("eventPhase").get_type(), "i");
  }
}

TEST(FireJSEvent, ShortFormsGiveEmptyMembersOrArguments) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  source->registerEventMethod("onx", RecordingHandler::make("A", eventContext(0), log));
  source->FireJSEvent("onx", VariantMap{{"arguments", 9}, {"k", 1}});
  source->FireJSEvent("onx", VariantList{3});
  const auto calls = log->calls();
  ASSERT_EQ(calls.size(), 2u);
  const VariantMap with_members = calls[0].arguments.at(0).cast<VariantMap>();
  EXPECT_TRUE(same(with_members.at("arguments"), VariantList{}));
  EXPECT_TRUE(same(with_members.at("k"), 1));
  const VariantMap with_arguments = calls[1].arguments.at(0).cast<VariantMap>();
  EXPECT_TRUE(same(with_arguments.at("arguments"), VariantList{3}));
  EXPECT_EQ(with_arguments.size(), 8u);
}

// The event attribute: a page that assigned a function to "ontimeout".
TEST(EventAttribute, AssignedFunctionIsCalledOnFiring) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  const auto listener = RecordingHandler::make("L", eventContext(0), log);
  const auto assigned = RecordingHandler::make("F", eventContext(0), log);
  source->registerEventMethod("ontimeout", listener);

  source->SetProperty("ontimeout", assigned);
  EXPECT_TRUE(source->HasProperty("ontimeout"));
  EXPECT_EQ(source->GetProperty("ontimeout").convert_cast<FB::JSObjectPtr>(), assigned);

  source->FireEvent("ontimeout", VariantList{1});
  source->FireJSEvent("ontimeout", VariantList{2});
  const auto calls = log->calls();
  ASSERT_EQ(log->summaries(), (Lines{"L()", "F()", "L()", "F()"}));
  EXPECT_TRUE(same(calls[1].arguments, VariantList{1}));
  EXPECT_TRUE(same(calls[3].arguments.at(0).cast<VariantMap>().at("arguments"), VariantList{2}));
}

TEST(EventAttribute, ValuesThatAreNoPageObjectAreNotCalled) {
  const auto log = std::make_shared<CallLog>();
  const auto source = std::make_shared<FB::JSAPIAuto>();
  const auto gone = RecordingHandler::make("G", eventContext(0), log);
  gone->valid = false;
  source->SetProperty("ontimeout", "not a function");
  source->SetProperty("onaudioerror", gone);
  source->SetProperty("onunexpected", FB::JSObjectPtr());
  for (const char* name : {"ontimeout", "onaudioerror", "onunexpected"}) {
    EXPECT_NO_THROW(source->FireEvent(name, {}));
    EXPECT_NO_THROW(source->FireJSEvent(name, VariantList{}));
  }
  EXPECT_TRUE(log->calls().empty());
}

}  // namespace
