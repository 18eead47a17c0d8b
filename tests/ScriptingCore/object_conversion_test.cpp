#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/variant.h"
#include "test_objects.h"

namespace {

using FB::JSAPIPtr;
using FB::JSObjectPtr;
using FB::variant;
using FB::VariantList;
using FB::VariantMap;
using FB::testing::PageObject;
using FB::testing::Scriptable;
namespace marker = FB::variant_detail;

const std::string kToJSAPI = "N5boost10shared_ptrIN2FB5JSAPIEEE";
const std::string kToJSObjectPtr = "N5boost10shared_ptrIN2FB8JSObjectEEE";

template <class T>
void expect_failure(const variant& value, const std::string& to) {
  try {
    (void)value.convert_cast<T>();
    ADD_FAILURE() << "a " << value.get_type() << " must not convert";
  } catch (const FB::bad_variant_cast& failure) {
    EXPECT_EQ(failure.from(), value.get_type());
    EXPECT_EQ(failure.to(), to);
  }
}

TEST(ScriptObjectConversion, NoValueGivesEmptyReference) {
  for (const variant& nothing : {variant(), variant(marker::empty()), variant(marker::null())}) {
    EXPECT_EQ(nothing.convert_cast<JSObjectPtr>(), nullptr);
    EXPECT_EQ(nothing.convert_cast<JSAPIPtr>(), nullptr);
    EXPECT_TRUE(nothing.can_be_type<JSObjectPtr>());
  }
}

TEST(ScriptObjectConversion, PageObjectIsItself) {
  const auto page = std::make_shared<PageObject>();
  EXPECT_EQ(variant(page).convert_cast<JSObjectPtr>(), page);
  EXPECT_EQ(variant(page).convert_cast<JSAPIPtr>(), page);
  // Held as a plain scriptable reference, it is still found to be a page object.
  EXPECT_EQ(variant(JSAPIPtr(page)).convert_cast<JSObjectPtr>(), page);
}

// The page may hand back the face of one of the plugin's own objects.
TEST(ScriptObjectConversion, FaceOfPluginObjectGivesThatObject) {
  const auto plugin_object = std::make_shared<Scriptable>();
  const auto face = std::make_shared<PageObject>();
  face->face_of = plugin_object;
  EXPECT_EQ(variant(face).convert_cast<JSAPIPtr>(), plugin_object);
  // No script object behind the face: the face itself is the page object.
  EXPECT_EQ(variant(face).convert_cast<JSObjectPtr>(), face);

  const auto inner_page_object = std::make_shared<PageObject>();
  face->face_of = inner_page_object;
  EXPECT_EQ(variant(face).convert_cast<JSObjectPtr>(), inner_page_object);
  EXPECT_EQ(variant(face).convert_cast<JSAPIPtr>(), inner_page_object);
}

TEST(ScriptObjectConversion, PluginObjectIsNoPageObject) {
  const auto plugin_object = std::make_shared<Scriptable>();
  expect_failure<JSObjectPtr>(variant(plugin_object), "N2FB8JSObjectE");
  EXPECT_FALSE(variant(plugin_object).can_be_type<JSObjectPtr>());
  EXPECT_EQ(variant(plugin_object).convert_cast<JSAPIPtr>(), plugin_object);
}

TEST(ScriptObjectConversion, WeakReferenceFollowsItsObject) {
  auto page = std::make_shared<PageObject>();
  const variant weak{FB::JSAPIWeakPtr(page)};
  EXPECT_EQ(weak.convert_cast<JSObjectPtr>(), page);
  page.reset();
  EXPECT_EQ(weak.convert_cast<JSObjectPtr>(), nullptr);
  EXPECT_EQ(weak.convert_cast<JSAPIPtr>(), nullptr);
}

TEST(ScriptObjectConversion, OtherKindsFail) {
  for (const variant& no_object : {variant(1), variant("x"), variant(VariantList{}), variant(VariantMap{})}) {
    expect_failure<JSObjectPtr>(no_object, kToJSAPI);
    expect_failure<JSAPIPtr>(no_object, kToJSAPI);
    EXPECT_FALSE(no_object.can_be_type<JSObjectPtr>());
  }
}

TEST(ListConversion, ReadsPageArrayByIndex) {
  const auto page_array = PageObject::array({"a", 3});
  const VariantList list = variant(page_array).convert_cast<VariantList>();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].cast<std::string>(), "a");
  EXPECT_EQ(list[1].cast<int>(), 3);
}

TEST(ListConversion, LengthIsReadAsLong) {
  const auto page_array = PageObject::array({1, 2, 3});
  page_array->properties["length"] = "2";
  EXPECT_EQ(variant(page_array).convert_cast<VariantList>().size(), 2u);
  page_array->properties["length"] = -4.0;
  EXPECT_TRUE(variant(page_array).convert_cast<VariantList>().empty());
  page_array->properties["length"] = "many";
  try {
    (void)variant(page_array).convert_cast<VariantList>();
    ADD_FAILURE() << "a length of many must not convert";
  } catch (const FB::bad_variant_cast& failure) {
    EXPECT_EQ(failure.from(), "NSt3__112basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEE");
    EXPECT_EQ(failure.to(), "l");
  }
}

// Elements are read by int index: a length past that range cannot be walked.
TEST(ListConversion, LengthBeyondIndexRangeFails) {
  const auto page_array = PageObject::array({});
  page_array->properties["length"] = 4294967296.0;
  try {
    (void)variant(page_array).convert_cast<VariantList>();
    ADD_FAILURE() << "a length of 2^32 must not be walked";
  } catch (const FB::bad_variant_cast& failure) {
    EXPECT_EQ(failure.from(), "d");
    EXPECT_EQ(failure.to(), "l");
  }
  EXPECT_EQ(page_array->reads, 1);
}

TEST(ListConversion, ListIsCopiedWithoutTouchingObjects) {
  const auto page_array = PageObject::array({1});
  const VariantList list = variant(VariantList{page_array, 2}).convert_cast<VariantList>();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].cast<JSObjectPtr>(), page_array);
  EXPECT_EQ(page_array->reads, 0);
}

TEST(ListConversion, NoValueGivesEmptyList) {
  for (const variant& nothing : {variant(), variant(marker::empty()), variant(marker::null())}) {
    EXPECT_TRUE(nothing.convert_cast<VariantList>().empty());
    EXPECT_TRUE(nothing.convert_cast<VariantMap>().empty());
  }
}

TEST(ListConversion, PageFaceOfPluginObjectReadsAsPageArray) {
  const auto face = PageObject::array({7});
  face->face_of = std::make_shared<Scriptable>();
  EXPECT_EQ(variant(face).convert_cast<VariantList>().size(), 1u);
}

TEST(ContainerConversion, KindsThatAreNoObjectFail) {
  for (const variant& no_object :
       {variant(1), variant("[1]"), variant(true), variant(std::make_shared<Scriptable>())}) {
    expect_failure<VariantList>(no_object, kToJSObjectPtr);
    expect_failure<VariantMap>(no_object, kToJSObjectPtr);
  }
  expect_failure<VariantList>(variant(VariantMap{}), kToJSObjectPtr);
  expect_failure<VariantMap>(variant(VariantList{}), kToJSObjectPtr);
}

TEST(MapConversion, ReadsPageObjectMembers) {
  const auto page_object = PageObject::object({{"serial", "0a1b2c3d"}, {"otp1", 42}});
  const VariantMap map = variant(page_object).convert_cast<VariantMap>();
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.at("serial").cast<std::string>(), "0a1b2c3d");
  EXPECT_EQ(map.at("otp1").cast<int>(), 42);

  const VariantMap copy = variant(map).convert_cast<VariantMap>();
  EXPECT_EQ(copy.size(), 2u);
}

TEST(ContainerConversion, ScriptErrorsWhileReadingReachTheCaller) {
  const auto page_object = PageObject::object({{"a", 1}, {"b", 2}});
  page_object->failing_property = "b";
  try {
    (void)variant(page_object).convert_cast<VariantMap>();
    ADD_FAILURE() << "the failing read must surface";
  } catch (const FB::script_error& error) {
    EXPECT_STREQ(error.what(), "Cannot read b");
  }

  const auto page_array = PageObject::array({1, 2});
  page_array->failing_property = "1";
  EXPECT_THROW((void)variant(page_array).convert_cast<VariantList>(), FB::script_error);
}

TEST(GetArrayValues, FillsObjectReferences) {
  const auto first = std::make_shared<PageObject>();
  const auto page_array = PageObject::array({first, marker::null()});
  std::vector<JSObjectPtr> objects;
  FB::JSObject::GetArrayValues(page_array, objects);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0], first);
  EXPECT_EQ(objects[1], nullptr);

  VariantList values{"kept"};
  FB::JSObject::GetArrayValues(nullptr, values);
  FB::JSObject::GetArrayValues(PageObject::array({1}), values);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].cast<std::string>(), "kept");
}

}  // namespace
