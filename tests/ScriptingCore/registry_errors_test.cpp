#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/JSFunction.h"
#include "ScriptingCore/script_error.h"
#include "registry_objects.h"
#include "test_objects.h"

namespace {

using FB::variant;
using FB::VariantList;
using FB::testing::RegistryObject;
namespace marker = FB::variant_detail;

enum class Kind { script_error, invalid_arguments, invalid_member, object_invalidated };

struct ErrorCase {
  const char* name;
  std::function<void(const std::shared_ptr<RegistryObject>&)> action;
  Kind kind;
  std::string message;
};

// Names the case in test listings instead of its bytes.
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

bool isKind(const FB::script_error& error, Kind kind) {
  switch (kind) {
    case Kind::invalid_arguments:
      return dynamic_cast<const FB::invalid_arguments*>(&error) != nullptr;
    case Kind::invalid_member:
      return dynamic_cast<const FB::invalid_member*>(&error) != nullptr;
    case Kind::object_invalidated:
      return dynamic_cast<const FB::object_invalidated*>(&error) != nullptr;
    case Kind::script_error:
      break;
  }
  return true;
}

class RegistryError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(RegistryError, IsTheTextThePageSees) {
  const auto object = std::make_shared<RegistryObject>();
  try {
    GetParam().action(object);
    ADD_FAILURE() << "no error raised";
  } catch (const FB::script_error& error) {
    EXPECT_EQ(error.what(), GetParam().message);
    EXPECT_TRUE(isKind(error, GetParam().kind));
  }
}

const std::string kString = "NSt3__112basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEE";

INSTANTIATE_TEST_SUITE_P(
    FailureTable, RegistryError,
    ::testing::Values(
        ErrorCase{"InvalidObject",
                  [](auto object) {
                    object->invalidate();
                    object->Invoke("record", {});
                  },
                  Kind::object_invalidated, "This object is no longer valid"},
        ErrorCase{"InvalidObjectConstruct",
                  [](auto object) {
                    object->invalidate();
                    object->Construct({});
                  },
                  Kind::object_invalidated, "This object is no longer valid"},
        ErrorCase{"UnknownMember", [](auto object) { object->Invoke("nosuch", {}); },
                  Kind::invalid_member, "The specified member does not exist: nosuch"},
        ErrorCase{"PropertyIsNoMethod", [](auto object) { object->Invoke("version", {}); },
                  Kind::invalid_member, "The specified member does not exist: version"},
        ErrorCase{"Construct", [](auto object) { object->Construct({1}); }, Kind::invalid_member,
                  "The specified member does not exist: constructor"},
        ErrorCase{"TooManyArguments",
                  [](auto object) {
                    object->Invoke("getAttribute", {"a", "b"});
                  },
                  Kind::invalid_arguments, "Too many arguments, expected 1."},
        ErrorCase{"MissingArgument", [](auto object) { object->Invoke("getAttribute", {}); },
                  Kind::invalid_arguments, "Error: Argument 1is not optional."},
        ErrorCase{"ArgumentNotConvertible",
                  [](auto object) { object->Invoke("getAttribute", {marker::null()}); },
                  Kind::invalid_arguments,
                  "Invalid argument conversion from N2FB14variant_detail4nullE to " + kString +
                      " at index 1"},
        ErrorCase{"ConversionEscapingAMethod", [](auto object) { object->Invoke("strict", {"1"}); },
                  Kind::invalid_arguments, "Could not convert from " + kString + " to i"},
        ErrorCase{"ConversionEscapingASetter",
                  [](auto object) { object->SetProperty("level", VariantList{}); },
                  Kind::invalid_arguments,
                  "Could not convert from NSt3__16vectorIN2FB7variantENS_9allocatorIS2_EEEE to i"},
        ErrorCase{"SetReadOnlyAttribute",
                  [](auto object) {
                    object->registerAttribute("fixed", 1, true);
                    object->setAttribute("fixed", 2);
                  },
                  Kind::script_error, "Cannot set read-only property fixed"},
        ErrorCase{"RemoveReadOnlyAttribute",
                  [](auto object) {
                    object->registerAttribute("fixed", 1, true);
                    object->unregisterAttribute("fixed");
                  },
                  Kind::script_error, "Cannot remove read-only property fixed"},
        ErrorCase{"MethodObjectWithoutParent",
                  [](auto) {
                    FB::JSAPIPtr method =
                        std::make_shared<RegistryObject>()->GetMethodObject("record");
                    method->Invoke("", {});  // its parent went with the statement above
                  },
                  Kind::script_error, "Invalid JSAPI object"},
        ErrorCase{"MethodObjectPassesTheParentsErrors",
                  [](auto object) {
                    const FB::JSAPIPtr method = object->GetMethodObject("getAttribute");
                    method->Invoke("call", {variant(), "a", "b"});
                  },
                  Kind::invalid_arguments, "Too many arguments, expected 1."},
        ErrorCase{"MethodObjectOfRemovedMethod",
                  [](auto object) {
                    const FB::JSAPIPtr method = object->GetMethodObject("record");
                    object->unregisterMethod("record");
                    method->Invoke("", {});
                  },
                  Kind::invalid_member, "The specified member does not exist: record"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST(RegistryError, MethodObjectApplyOfNoListIsBadCast) {
  const auto object = std::make_shared<RegistryObject>();
  const FB::JSAPIPtr method = object->GetMethodObject("record");
  try {
    method->Invoke("apply", {variant(), 5});
    ADD_FAILURE() << "5 is no argument list";
  } catch (const FB::bad_variant_cast& failure) {
    EXPECT_EQ(failure.from(), "i");
    EXPECT_EQ(failure.to(), "N5boost10shared_ptrIN2FB8JSObjectEEE");
  }
  EXPECT_EQ(object->record_calls, 0);
}

}  // namespace
