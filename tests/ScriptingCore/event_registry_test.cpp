#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/script_error.h"
#include "recording_handler.h"

namespace {

using FB::testing::CallLog;
using FB::testing::eventContext;
using FB::testing::RecordingHandler;
using Lines = std::vector<std::string>;

class EventRegistry : public ::testing::Test {
 protected:
  std::shared_ptr<RecordingHandler> handler(const std::string& label, int context = 0,
                                            const void* identity = nullptr) {
    return RecordingHandler::make(label, eventContext(context), log, identity);
  }
  Lines fire(const std::string& name = "ontimeout") {
    const std::size_t before = log->calls().size();
    source->FireEvent(name, {});
    const Lines all = log->summaries();
    return Lines(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  }

  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  std::shared_ptr<FB::JSAPIAuto> source = std::make_shared<FB::JSAPIAuto>();
  const int page_function = 0;  // what two handler objects for one page function share
};

TEST_F(EventRegistry, SameFunctionTwiceIsKeptOnce) {
  source->registerEventMethod("ontimeout", handler("A", 0, &page_function));
  source->registerEventMethod("ontimeout", handler("A2", 0, &page_function));
  source->registerEventMethod(std::wstring(L"ontimeout"), handler("A3", 0, &page_function));
  EXPECT_EQ(fire(), Lines{"A()"});
}

TEST_F(EventRegistry, SameIdentityInAnotherContextOrEventIsAnotherEntry) {
  source->registerEventMethod("ontimeout", handler("A", 0, &page_function));
  source->registerEventMethod("ontimeout", handler("B", 1, &page_function));
  source->registerEventMethod("onload", handler("C", 0, &page_function));
  EXPECT_EQ(fire(), (Lines{"A()", "B()"}));
  EXPECT_EQ(fire("onload"), Lines{"C()"});
}

// Handler objects without an identity of their own stand for different
// functions; none may be lost.
TEST_F(EventRegistry, HandlersWithoutIdentityAreDistinct) {
  const auto a = handler("A");
  source->registerEventMethod("ontimeout", a);
  source->registerEventMethod("ontimeout", handler("B"));
  source->registerEventMethod("ontimeout", a);
  EXPECT_EQ(fire(), (Lines{"A()", "B()"}));
}

TEST_F(EventRegistry, UnregisterRemovesByIdentity) {
  source->registerEventMethod("ontimeout", handler("A", 0, &page_function));
  source->registerEventMethod("ontimeout", handler("B"));
  // Another handler object for the same page function removes the entry.
  source->unregisterEventMethod("ontimeout", handler("A2", 0, &page_function));
  EXPECT_EQ(fire(), Lines{"B()"});
  // Nothing registered under that identity, context or name: no change.
  source->unregisterEventMethod("ontimeout", handler("A3", 0, &page_function));
  source->unregisterEventMethod("ontimeout", handler("X", 3));
  source->unregisterEventMethod(std::wstring(L"onload"), handler("Y"));
  EXPECT_EQ(fire(), Lines{"B()"});
}

TEST_F(EventRegistry, ReRegisteredHandlerGoesLast) {
  const auto a = handler("A");
  source->registerEventMethod("ontimeout", a);
  source->registerEventMethod("ontimeout", handler("B"));
  source->unregisterEventMethod("ontimeout", a);
  source->registerEventMethod("ontimeout", a);
  EXPECT_EQ(fire(), (Lines{"B()", "A()"}));
}

TEST_F(EventRegistry, InterfacesComeAndGo) {
  const auto i = handler("I");
  source->registerEventInterface(i);
  EXPECT_EQ(fire(), Lines{"I(ontimeout)"});
  // An object never registered changes nothing.
  source->unregisterEventInterface(handler("J"));
  source->unregisterEventInterface(handler("K", 2));
  EXPECT_EQ(fire(), Lines{"I(ontimeout)"});
  source->unregisterEventInterface(i);
  EXPECT_EQ(fire(), Lines{});
}

TEST_F(EventRegistry, EmptyReferenceIsInvalidArguments) {
  const FB::JSObjectPtr none;
  auto expect_invalid = [](auto call) {
    try {
      call();
      ADD_FAILURE() << "an empty handler must be refused";
    } catch (const FB::invalid_arguments& error) {
      EXPECT_STREQ(error.what(), "Invalid Arguments");
    }
  };
  expect_invalid([&] { source->registerEventMethod("ontimeout", none); });
  expect_invalid([&] { source->unregisterEventMethod("ontimeout", none); });
  expect_invalid([&] { source->registerEventInterface(none); });
  expect_invalid([&] { source->unregisterEventInterface(none); });
}

// Delivery works on copies: a handler removed while an event is on its way
// is still called with it, and one added is called next time.
TEST_F(EventRegistry, RegistryMayChangeWhileDelivering) {
  class Unregistering : public RecordingHandler {
   public:
    using RecordingHandler::RecordingHandler;
    std::weak_ptr<FB::JSAPIAuto> source;
    FB::JSObjectPtr other;
    void InvokeAsync(const std::string& method, const FB::VariantList& arguments) override {
      RecordingHandler::InvokeAsync(method, arguments);
      if (auto alive = source.lock()) alive->unregisterEventMethod("ontimeout", other);
    }
  };
  const auto first = std::make_shared<Unregistering>("A", eventContext(0), log);
  first->source = source;
  first->other = handler("B");
  source->registerEventMethod("ontimeout", first);
  source->registerEventMethod("ontimeout", first->other);
  EXPECT_EQ(fire(), (Lines{"A()", "B()"}));
  EXPECT_EQ(fire(), Lines{"A()"});
}

}  // namespace
