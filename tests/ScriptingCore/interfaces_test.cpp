#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/BrowserHost.h"
#include "ScriptingCore/JSAPI.h"
#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/script_error.h"
#include "test_objects.h"

namespace {

using FB::testing::PageObject;
using FB::testing::Scriptable;

struct ErrorCase {
  FB::script_error error;
  std::string message;
};

class ScriptErrorMessage : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ScriptErrorMessage, IsWhatThePageSees) {
  EXPECT_EQ(GetParam().error.what(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Family, ScriptErrorMessage,
    ::testing::Values(ErrorCase{FB::script_error("Shutting down"), "Shutting down"},
                      ErrorCase{FB::invalid_arguments(), "Invalid Arguments"},
                      ErrorCase{FB::invalid_arguments("Too many arguments, expected 1."),
                                "Too many arguments, expected 1."},
                      ErrorCase{FB::invalid_member("nosuch"),
                                "The specified member does not exist: nosuch"},
                      ErrorCase{FB::object_invalidated(), "This object is no longer valid"}));

TEST(ScriptErrorMessage, SubclassesAreCaughtAsScriptErrors) {
  EXPECT_THROW(throw FB::object_invalidated(), FB::script_error);
  EXPECT_THROW(throw FB::invalid_member("x"), std::exception);
}

template <class Call>
void expect_not_implemented(Call call) {
  try {
    call();
    ADD_FAILURE() << "the plain interface has no event support";
  } catch (const FB::script_error& error) {
    EXPECT_STREQ(error.what(), "Not implemented");
  }
}

TEST(JSAPIDefaults, EventSupportIsNotImplemented) {
  Scriptable object;
  const auto handler = std::make_shared<PageObject>();
  expect_not_implemented([&] { object.registerEventMethod(std::string("ontimeout"), handler); });
  expect_not_implemented([&] { object.registerEventMethod(std::wstring(L"ontimeout"), handler); });
  expect_not_implemented([&] { object.unregisterEventMethod(std::string("ontimeout"), handler); });
  expect_not_implemented([&] { object.unregisterEventMethod(std::wstring(L"ontimeout"), handler); });
  expect_not_implemented([&] { object.registerEventInterface(handler); });
  expect_not_implemented([&] { object.unregisterEventInterface(handler); });
}

TEST(JSAPIDefaults, ZonesAndMethodObjectsAreAbsent) {
  Scriptable object;
  object.pushZone(3);
  object.setDefaultZone(2);
  EXPECT_EQ(object.getZone(), 0);
  EXPECT_EQ(object.getDefaultZone(), 0);
  object.popZone();
  EXPECT_FALSE(object.HasMethodObject(std::string("record")));
  EXPECT_FALSE(object.HasMethodObject(std::wstring(L"record")));
  EXPECT_EQ(object.GetMethodObject(std::string("record")), nullptr);
  EXPECT_EQ(object.GetMethodObject(std::wstring(L"record")), nullptr);
}

// Each wide form must give exactly what the UTF-8 form gives for the same name.
TEST(JSAPIDefaults, WideFormsForwardConvertedNames) {
  Scriptable object;
  const std::wstring wide_name = L"versi\u00f3n";
  const std::string utf8_name = "versi\xc3\xb3n";

  EXPECT_TRUE(object.HasProperty(wide_name));
  EXPECT_EQ(object.last_name, utf8_name);
  EXPECT_FALSE(object.HasMethod(wide_name));
  EXPECT_TRUE(object.HasMethod(std::wstring(L"record")));
  EXPECT_EQ(object.GetProperty(wide_name).cast<std::string>(), "1.3.0");
  EXPECT_EQ(object.Invoke(std::wstring(L"record"), {1, 2}).cast<int>(), 2);
  EXPECT_EQ(object.last_name, "record");
  object.SetProperty(wide_name, 1);
  EXPECT_EQ(object.last_name, utf8_name);
  object.RemoveProperty(std::wstring(L"gone"));
  EXPECT_EQ(object.last_name, "gone");

  std::vector<std::wstring> wide_names{L"kept"};
  object.getMemberNames(wide_names);
  EXPECT_EQ(wide_names, (std::vector<std::wstring>{L"kept", L"record", wide_name}));
  std::vector<std::wstring> by_pointer;
  object.getMemberNames(&by_pointer);
  EXPECT_EQ(by_pointer.size(), 2u);
  std::vector<std::string> utf8_names;
  object.getMemberNames(&utf8_names);
  EXPECT_EQ(utf8_names, (std::vector<std::string>{"record", utf8_name}));
}

TEST(JSObjectDefaults, NoIdentityNoOptimizedCalls) {
  PageObject object;
  EXPECT_EQ(object.getEventId(), nullptr);
  EXPECT_EQ(object.getEventContext(), nullptr);
  EXPECT_FALSE(object.supportsOptimizedCalls());
  EXPECT_NO_THROW(object.callMultipleFunctions("onx", {}, {}, {}));
  expect_not_implemented([&] { object.registerEventMethod(std::string("onx"), nullptr); });
}

TEST(JSObjectDefaults, HostGoneIsExpiredReferenceError) {
  PageObject object;  // made without a host, like one whose host has gone
  EXPECT_THROW(object.getHost(), std::bad_weak_ptr);
}

TEST(JSObjectDefaults, SharedFromThisIsTheObject) {
  const auto page = std::make_shared<PageObject>();
  const FB::JSObjectPtr self = page->shared_from_this();
  EXPECT_EQ(self, page);
}

}  // namespace
