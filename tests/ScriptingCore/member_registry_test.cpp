#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/JSFunction.h"
#include "ScriptingCore/scoped_zonelock.h"
#include "ScriptingCore/script_error.h"
#include "registry_objects.h"
#include "same_value.h"

namespace {

using FB::variant;
using FB::VariantList;
using FB::testing::RegistryObject;
using FB::testing::same;
using Names = std::vector<std::string>;

const Names kBuiltIns{"getAttribute", "setAttribute", "toString", "valid", "value"};

TEST(MemberListing, FreshObjectHasTheBuiltInsInNameOrder) {
  FB::JSAPIAuto object;
  Names names{"left over"};
  object.getMemberNames(names);
  EXPECT_EQ(names, kBuiltIns);
  EXPECT_EQ(object.getMemberCount(), kBuiltIns.size());
}

TEST(MemberListing, OwnMembersMergeByteWiseInNameOrder) {
  RegistryObject object;
  object.registerAttribute("Zeta", 1, false);
  object.setAttribute("abc", 2);
  const Names expected{"Zeta",   "abc",          "fail",   "getAttribute", "level",
                       "record", "setAttribute", "strict", "toString",     "valid",
                       "value",  "version",      "zoneNow"};
  Names names;
  object.getMemberNames(names);
  EXPECT_EQ(names, expected);
  EXPECT_EQ(object.getMemberCount(), expected.size());
  std::vector<std::wstring> wide;
  object.getMemberNames(wide);
  ASSERT_EQ(wide.size(), expected.size());
  EXPECT_EQ(wide.front(), L"Zeta");
}

// Each member is visible from the zone it was registered in upwards.
TEST(MemberZones, HigherZoneMembersStayHiddenBelowIt) {
  RegistryObject object;
  {
    FB::scoped_zonelock trusted(&object, 2);
    object.registerMethod("secret", [](const VariantList&) { return variant("hidden"); });
    object.registerAttribute("key", 7, false);
  }
  Names names;
  object.getMemberNames(names);
  EXPECT_EQ(std::count(names.begin(), names.end(), "secret"), 0);
  EXPECT_FALSE(object.HasMethod("secret"));
  EXPECT_THROW(object.Invoke("secret", {}), FB::invalid_member);
  EXPECT_TRUE(object.GetProperty("key").empty());

  FB::scoped_zonelock trusted(&object, 2);
  object.getMemberNames(names);
  EXPECT_EQ(std::count(names.begin(), names.end(), "secret"), 1);
  EXPECT_EQ(object.Invoke("secret", {}).cast<std::string>(), "hidden");
  EXPECT_EQ(object.GetProperty("key").cast<int>(), 7);
}

// The page, in zone 0, must not unlock a higher-zone member by assigning
// to its name or deleting it.
TEST(MemberZones, PageCannotReplaceOrRemoveHigherZoneMembers) {
  RegistryObject object;
  {
    FB::scoped_zonelock trusted(&object, 2);
    object.registerMethod("secret", [](const VariantList&) { return variant("hidden"); });
    object.registerAttribute("5", "five", false);
  }
  EXPECT_THROW(object.SetProperty("secret", 1), FB::invalid_member);
  EXPECT_THROW(object.SetProperty(5, 1), FB::invalid_member);
  EXPECT_THROW(object.RemoveProperty(5), FB::invalid_member);
  EXPECT_THROW(object.Invoke("secret", {}), FB::invalid_member);
  FB::scoped_zonelock trusted(&object, 2);
  EXPECT_EQ(object.GetProperty(5).cast<std::string>(), "five");
}

struct PropertyCase {
  const char* name;
  bool has_property;
  const char* type;  // of GetProperty's value
};

// Names the case in test listings instead of its bytes.
void PrintTo(const PropertyCase& c, std::ostream* os) { *os << c.name; }

class NamedProperty : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(NamedProperty, AnswersHasAndGet) {
  RegistryObject object;
  EXPECT_EQ(object.HasProperty(GetParam().name), GetParam().has_property);
  EXPECT_EQ(object.GetProperty(GetParam().name).get_type(), GetParam().type);
}

const char* const kEmptyMarker = "N2FB14variant_detail5emptyE";

INSTANTIATE_TEST_SUITE_P(
    DynamicAttributesAndReservedNames, NamedProperty,
    ::testing::Values(
        PropertyCase{"anything", true, kEmptyMarker},
        PropertyCase{"version", true,
                     "NSt3__112basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEE"},
        PropertyCase{"valid", true, "b"},
        PropertyCase{"record", true, "N5boost10shared_ptrIN2FB5JSAPIEEE"},
        PropertyCase{"offsetWidth", false, kEmptyMarker},
        PropertyCase{"offsetHeight", false, kEmptyMarker},
        PropertyCase{"width", false, kEmptyMarker}, PropertyCase{"height", false, kEmptyMarker},
        PropertyCase{"attributes", false, kEmptyMarker},
        PropertyCase{"nodeType", false, kEmptyMarker},
        PropertyCase{"namespaceURI", false, kEmptyMarker},
        PropertyCase{"localName", false, kEmptyMarker},
        PropertyCase{"wrappedJSObject", false, kEmptyMarker},
        PropertyCase{"prototype", false, kEmptyMarker}, PropertyCase{"style", false, kEmptyMarker},
        PropertyCase{"id", false, kEmptyMarker}, PropertyCase{"constructor", false, kEmptyMarker},
        PropertyCase{"nodeName", false, kEmptyMarker}));

TEST(NamedProperty, AssignedAttributeIsReported) {
  RegistryObject object;
  object.SetProperty("width", 640);  // reserved names are only kept from being asked for
  object.SetProperty("note", "kept");
  EXPECT_TRUE(object.HasProperty("width"));
  EXPECT_EQ(object.GetProperty("width").cast<int>(), 640);
  EXPECT_EQ(object.GetProperty(std::wstring(L"note")).cast<std::string>(), "kept");
  EXPECT_EQ(object.getAttribute("note").cast<std::string>(), "kept");
}

TEST(NamedProperty, ReadOnlyPropertiesIgnoreAssignment) {
  RegistryObject object;
  for (const char* name : {"valid", "value", "version"}) {
    const variant before = object.GetProperty(name);
    EXPECT_NO_THROW(object.SetProperty(name, 42)) << name;
    EXPECT_TRUE(same(object.GetProperty(name), before)) << name;
  }
  EXPECT_EQ(object.GetProperty("value").cast<std::string>(), "<JSAPI-Auto Javascript Object>");
}

TEST(NamedProperty, WritablePropertyConvertsTheValue) {
  RegistryObject object;
  object.SetProperty("level", "7");
  EXPECT_EQ(object.level, 7);
  EXPECT_EQ(object.GetProperty("level").cast<int>(), 7);
}

TEST(NamedProperty, ReadOnlyAttributeIsNotReplaced) {
  RegistryObject object;
  object.registerAttribute("fixed", 1, true);
  EXPECT_THROW(object.SetProperty("fixed", 2), FB::script_error);
  EXPECT_THROW(object.Invoke("setAttribute", {"fixed", 2}), FB::script_error);
  object.RemoveProperty("fixed");  // silently kept
  EXPECT_EQ(object.GetProperty("fixed").cast<int>(), 1);
}

TEST(RemoveProperty, AttributesGoPropertiesStay) {
  RegistryObject object;
  object.SetProperty("note", 1);
  object.RemoveProperty("note");
  EXPECT_EQ(object.getAttribute("note").get_type(), kEmptyMarker);
  object.RemoveProperty("version");
  EXPECT_EQ(object.GetProperty("version").cast<std::string>(), "1.3.0");
  object.allow_remove_properties_ = true;
  object.RemoveProperty("version");
  EXPECT_TRUE(object.GetProperty("version").empty());
}

// A method, a property and an attribute can share a name; removing the
// attribute must leave the method reachable.
TEST(RemoveProperty, AttributeSharingAMethodNameLeavesTheMethod) {
  RegistryObject object;
  object.SetProperty("record", 1);
  object.RemoveProperty("record");
  EXPECT_TRUE(object.HasMethod("record"));
  object.Invoke("record", {3});
  EXPECT_EQ(object.record_calls, 1);
}

TEST(IndexedProperty, AttributesNamedByTheirDecimalText) {
  RegistryObject object;
  EXPECT_TRUE(object.HasProperty(3));  // dynamic attributes
  EXPECT_TRUE(object.GetProperty(3).empty());
  object.SetProperty(3, "three");
  EXPECT_EQ(object.GetProperty(3).cast<std::string>(), "three");
  EXPECT_EQ(object.GetProperty("3").cast<std::string>(), "three");
  object.RemoveProperty(3);
  EXPECT_THROW(object.RemoveProperty(3), FB::invalid_member);
  EXPECT_TRUE(object.GetProperty(-1).empty());
}

TEST(IndexedProperty, WithoutDynamicAttributesOnlyExistingOnes) {
  RegistryObject object;
  object.allow_dynamic_attributes_ = false;
  object.registerAttribute("0", "zero", false);
  EXPECT_TRUE(object.HasProperty(0));
  EXPECT_FALSE(object.HasProperty(1));
  object.SetProperty(0, "nil");
  EXPECT_EQ(object.GetProperty(0).cast<std::string>(), "nil");
  EXPECT_THROW(object.SetProperty(1, "one"), FB::invalid_member);
  EXPECT_THROW(object.GetProperty(1), FB::invalid_member);
  EXPECT_THROW(object.RemoveProperty(0), FB::invalid_member);
}

TEST(NamedProperty, WithoutDynamicAttributesUnknownNamesFail) {
  RegistryObject object;
  object.allow_dynamic_attributes_ = false;
  object.registerAttribute("kept", 1, false);
  object.registerAttribute("fixed", 1, true);
  EXPECT_FALSE(object.HasProperty("anything"));
  EXPECT_TRUE(object.HasProperty("kept"));
  EXPECT_THROW(object.GetProperty("anything"), FB::invalid_member);
  EXPECT_THROW(object.SetProperty("anything", 1), FB::invalid_member);
  EXPECT_THROW(object.SetProperty("fixed", 2), FB::invalid_member);
  object.SetProperty("kept", 2);
  EXPECT_EQ(object.GetProperty("kept").cast<int>(), 2);
}

TEST(MethodObjects, OnePerMethodAndZone) {
  auto object = std::make_shared<RegistryObject>();
  const FB::JSAPIPtr first = object->GetMethodObject("toString");
  EXPECT_EQ(object->GetMethodObject(std::wstring(L"toString")), first);
  EXPECT_EQ(object->GetProperty("toString").cast<FB::JSAPIPtr>(), first);
  EXPECT_TRUE(object->HasMethodObject("toString"));
  object->pushZone(1);
  EXPECT_NE(object->GetMethodObject("toString"), first);
  object->popZone();
  EXPECT_THROW(object->GetMethodObject("version"), FB::invalid_member);
  EXPECT_THROW(object->GetMethodObject("nosuch"), FB::invalid_member);
}

TEST(MethodObjects, SwitchedOffMethodsReadAsNothing) {
  auto object = std::make_shared<RegistryObject>();
  object->allow_method_objects_ = false;
  EXPECT_FALSE(object->HasMethodObject("record"));
  EXPECT_FALSE(object->HasProperty("record"));
  EXPECT_TRUE(object->GetProperty("record").empty());
}

TEST(Invoke, BuiltInMethods) {
  RegistryObject object;
  EXPECT_EQ(object.Invoke("toString", {}).cast<std::string>(), "<JSAPI-Auto Javascript Object>");
  EXPECT_EQ(object.Invoke("toString", {1, 2}).cast<std::string>(),
            "<JSAPI-Auto Javascript Object>");
  EXPECT_TRUE(object.Invoke("setAttribute", {"x", 5}).empty());
  EXPECT_EQ(object.Invoke("getAttribute", {"x"}).cast<int>(), 5);
  // A missing variant argument is a value with nothing stored.
  object.Invoke("setAttribute", {"x"});
  EXPECT_EQ(object.getAttribute("x").get_type(), "v");
  EXPECT_EQ(object.Invoke(std::wstring(L"getAttribute"), {"nothing"}).get_type(), kEmptyMarker);
}

TEST(Invalidated, MembersFailQueriesAnswerNo) {
  auto object = std::make_shared<RegistryObject>();
  object->invalidate();
  EXPECT_FALSE(object->HasMethod("record"));
  EXPECT_FALSE(object->HasMethodObject("record"));
  EXPECT_FALSE(object->HasProperty("version"));
  EXPECT_FALSE(object->HasProperty(0));
  EXPECT_TRUE(object->get_valid());  // the page-visible "valid" is fixed
  Names names;
  object->getMemberNames(names);
  EXPECT_EQ(names.size(), object->getMemberCount());
}

}  // namespace
