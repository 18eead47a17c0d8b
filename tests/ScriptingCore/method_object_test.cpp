#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "ScriptingCore/JSFunction.h"
#include "ScriptingCore/scoped_zonelock.h"
#include "ScriptingCore/script_error.h"
#include "registry_objects.h"
#include "same_value.h"
#include "test_objects.h"

namespace {

using FB::JSAPIPtr;
using FB::variant;
using FB::VariantList;
using FB::testing::PageObject;
using FB::testing::RegistryObject;
using FB::testing::same;

struct CallCase {
  const char* name;
  std::string member;  // "" calls the object as a function
  VariantList arguments;
  VariantList received;  // what the parent's "record" gets
};

// Names the case in test listings instead of its bytes.
void PrintTo(const CallCase& c, std::ostream* os) { *os << c.name; }

class MethodObjectCall : public ::testing::TestWithParam<CallCase> {};

TEST_P(MethodObjectCall, RunsTheParentsMethod) {
  const auto parent = std::make_shared<RegistryObject>();
  const JSAPIPtr method = parent->GetMethodObject("record");
  method->Invoke(GetParam().member, GetParam().arguments);
  EXPECT_EQ(parent->record_calls, 1);
  EXPECT_TRUE(same(parent->last_arguments, GetParam().received));
}

const variant receiver = "receiver";

INSTANTIATE_TEST_SUITE_P(
    CallAndApply, MethodObjectCall,
    ::testing::Values(CallCase{"AsFunction", "", {5}, {5}},
                      CallCase{"CallDropsTheReceiver", "call", {receiver, 5}, {5}},
                      CallCase{"CallWithNothing", "call", {}, {}},
                      CallCase{"ApplyUnpacksTheList", "apply", {receiver, VariantList{5}}, {5}},
                      CallCase{"ApplyIgnoresTheRest", "apply", {receiver, VariantList{1}, 9}, {1}},
                      CallCase{"ApplyWithReceiverOnly", "apply", {receiver}, {}},
                      CallCase{"ApplyWithNothing", "apply", {}, {}}),
    [](const ::testing::TestParamInfo<CallCase>& info) { return info.param.name; });

TEST(MethodObject, ApplyReadsAPageArray) {
  const auto parent = std::make_shared<RegistryObject>();
  const JSAPIPtr method = parent->GetMethodObject("record");
  method->Invoke("apply", {receiver, PageObject::array({"a", 3})});
  EXPECT_TRUE(same(parent->last_arguments, VariantList{"a", 3}));
}

TEST(MethodObject, ItsOwnMembers) {
  const auto parent = std::make_shared<RegistryObject>();
  const JSAPIPtr method = parent->GetMethodObject("record");
  for (const char* name : {"", "call", "apply", "toString"}) EXPECT_TRUE(method->HasMethod(name));
  EXPECT_FALSE(method->HasProperty("call"));
  EXPECT_FALSE(method->HasProperty("apply"));
  EXPECT_FALSE(method->HasMethodObject("toString"));
  EXPECT_EQ(method->Invoke("toString", {}).cast<std::string>(), "record()");
  EXPECT_EQ(method->GetProperty("value").cast<std::string>(), "record()");
  // No reserved names: any other name may become an attribute.
  EXPECT_TRUE(method->HasProperty("width"));
  method->SetProperty("width", 3);
  EXPECT_EQ(method->GetProperty("width").cast<int>(), 3);
}

TEST(MethodObject, OutlivesItsParent) {
  JSAPIPtr method;
  {
    const auto parent = std::make_shared<RegistryObject>();
    method = parent->GetMethodObject("record");
  }
  EXPECT_EQ(method->Invoke("toString", {}).cast<std::string>(), "record()");
  for (const char* member : {"", "call", "apply"}) {
    try {
      method->Invoke(member, {});
      ADD_FAILURE() << "the parent is gone";
    } catch (const FB::script_error& error) {
      EXPECT_STREQ(error.what(), "Invalid JSAPI object");
    }
  }
}

TEST(MethodObject, WideNameAndNoParent) {
  FB::JSFunction function(FB::JSAPIWeakPtr(), std::wstring(L"attachEvent"), 0);
  EXPECT_EQ(function.ToString(), "attachEvent()");
  EXPECT_THROW(function.Invoke("", {}), FB::script_error);
}

TEST(MethodObject, InvalidatedFunctionObjectFails) {
  const auto parent = std::make_shared<RegistryObject>();
  const JSAPIPtr method = parent->GetMethodObject("record");
  method->invalidate();
  EXPECT_THROW(method->Invoke("", {1}), FB::object_invalidated);
  EXPECT_EQ(parent->record_calls, 0);
}

// The object made while zone 2 was current keeps zone 2's rights, whatever
// zone the parent is in when it is called.
TEST(MethodObjectZone, RunsWithTheZoneItWasMadeIn) {
  const auto parent = std::make_shared<RegistryObject>();
  JSAPIPtr in_zone_2;
  {
    FB::scoped_zonelock trusted(parent, 2);
    in_zone_2 = parent->GetMethodObject("zoneNow");
  }
  EXPECT_EQ(parent->getZone(), 0);
  EXPECT_EQ(in_zone_2->Invoke("", {}).cast<int>(), 2);
  EXPECT_EQ(parent->getZone(), 0);
  EXPECT_EQ(parent->GetMethodObject("zoneNow")->Invoke("", {}).cast<int>(), 0);

  FB::scoped_zonelock higher(parent, 5);
  EXPECT_EQ(in_zone_2->Invoke("call", {receiver}).cast<int>(), 2);
  EXPECT_EQ(parent->getZone(), 5);
}

TEST(MethodObjectZone, ReachesMembersOfItsZoneOnly) {
  const auto parent = std::make_shared<RegistryObject>();
  JSAPIPtr trusted_call;
  {
    FB::scoped_zonelock trusted(parent, 2);
    parent->registerMethod("secret", [](const VariantList&) { return variant("hidden"); });
    trusted_call = std::make_shared<FB::JSFunction>(parent, "secret", 2);
  }
  const auto public_call = std::make_shared<FB::JSFunction>(parent, "secret", 0);
  EXPECT_EQ(trusted_call->Invoke("", {}).cast<std::string>(), "hidden");
  EXPECT_THROW(public_call->Invoke("", {}), FB::invalid_member);
}

// The zone is popped, and the lock released, when the method fails too.
TEST(MethodObjectZone, PoppedWhenTheMethodFails) {
  const auto parent = std::make_shared<RegistryObject>();
  const auto failing = std::make_shared<FB::JSFunction>(parent, "fail", 3);
  EXPECT_THROW(failing->Invoke("", {}), FB::script_error);
  EXPECT_EQ(parent->getZone(), 0);
  int seen = -1;
  std::thread other([&] {
    FB::scoped_zonelock zone(parent, 4);
    seen = parent->getZone();
  });
  other.join();
  EXPECT_EQ(seen, 4);
}

}  // namespace
