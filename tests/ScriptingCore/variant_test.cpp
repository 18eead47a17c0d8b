#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ScriptingCore/script_error.h"
#include "ScriptingCore/variant.h"
#include "test_objects.h"

namespace {

using FB::variant;
using FB::VariantList;
using FB::VariantMap;
namespace marker = FB::variant_detail;
using FB::testing::PageObject;
using FB::testing::Scriptable;

const char* const kString = "NSt3__112basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEE";

struct KindCase {
  const char* label;
  variant value;
  std::string type_name;
  bool empty;
  bool null;
};

class VariantKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(VariantKind, NamesItsKindAndAnswersEmptyAndNull) {
  const KindCase& c = GetParam();
  EXPECT_EQ(c.value.get_type(), c.type_name);
  EXPECT_EQ(c.value.empty(), c.empty);
  EXPECT_EQ(c.value.is_null(), c.null);
}

const std::string kMap =
    "NSt3__13mapINS_12basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEEN2FB7variantENS_"
    "4lessIS6_EENS4_INS_4pairIKS6_S8_EEEEEE";

INSTANTIATE_TEST_SUITE_P(
    EveryKind, VariantKind,
    ::testing::Values(
        KindCase{"nothing", variant(), "v", true, false},
        KindCase{"empty_marker", variant(marker::empty()), "N2FB14variant_detail5emptyE", true, false},
        KindCase{"null_marker", variant(marker::null()), "N2FB14variant_detail4nullE", false, true},
        KindCase{"bool", variant(true), "b", false, false},
        KindCase{"char", variant('A'), "c", false, false},
        KindCase{"unsigned_char", variant(static_cast<unsigned char>(1)), "h", false, false},
        KindCase{"short", variant(static_cast<short>(1)), "s", false, false},
        KindCase{"unsigned_short", variant(static_cast<unsigned short>(1)), "t", false, false},
        KindCase{"int", variant(1), "i", false, false},
        KindCase{"unsigned_int", variant(1u), "j", false, false},
        KindCase{"long", variant(1L), "l", false, false},
        KindCase{"unsigned_long", variant(1UL), "m", false, false},
        KindCase{"long_long", variant(1LL), "x", false, false},
        KindCase{"unsigned_long_long", variant(1ULL), "y", false, false},
        KindCase{"float", variant(1.0f), "f", false, false},
        KindCase{"double", variant(1.0), "d", false, false},
        KindCase{"c_string", variant("abc"), kString, false, false},
        KindCase{"std_string", variant(std::string("abc")), kString, false, false},
        KindCase{"wide_c_string", variant(L"abc"),
                 "NSt3__112basic_stringIwNS_11char_traitsIwEENS_9allocatorIwEEEE", false, false},
        KindCase{"list", variant(VariantList{1, 2}), "NSt3__16vectorIN2FB7variantENS_9allocatorIS2_EEEE",
                 false, false},
        KindCase{"map", variant(VariantMap{{"k", 1}}), kMap, false, false},
        KindCase{"scriptable", variant(std::make_shared<Scriptable>()),
                 "N5boost10shared_ptrIN2FB5JSAPIEEE", false, false},
        KindCase{"script_object", variant(std::make_shared<PageObject>()),
                 "N5boost10shared_ptrIN2FB8JSObjectEEE", false, false},
        // A page object given as a plain scriptable reference keeps that kind.
        KindCase{"script_object_as_jsapi", variant(FB::JSAPIPtr(std::make_shared<PageObject>())),
                 "N5boost10shared_ptrIN2FB5JSAPIEEE", false, false},
        KindCase{"weak_scriptable", variant(FB::JSAPIWeakPtr()), "N5boost8weak_ptrIN2FB5JSAPIEEE", false,
                 false},
        KindCase{"error_record",
                 variant(std::make_shared<FB::script_error>("oops"), true),
                 "N5boost10shared_ptrIN2FB12script_errorEEE", false, false},
        // References and texts that point at nothing stand for the page's null.
        KindCase{"empty_scriptable", variant(std::shared_ptr<Scriptable>()), "N2FB14variant_detail4nullE",
                 false, true},
        KindCase{"empty_script_object", variant(FB::JSObjectPtr()), "N2FB14variant_detail4nullE", false,
                 true},
        KindCase{"null_c_string", variant(static_cast<const char*>(nullptr)),
                 "N2FB14variant_detail4nullE", false, true},
        KindCase{"engaged_optional_string", variant(std::optional<std::string>("4")), kString, false,
                 false},
        KindCase{"disengaged_optional_string", variant(std::optional<std::string>()), "v", true, false},
        KindCase{"determinate_tribool", variant(std::optional<bool>(false)), "b", false, false},
        KindCase{"indeterminate_tribool", variant(std::optional<bool>()), "v", true, false}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.label); });

TEST(VariantValue, StoresTextNotPointer) {
  std::string text = "abc";
  const variant value(text.c_str());
  text[0] = 'x';
  EXPECT_EQ(value.cast<std::string>(), "abc");
}

TEST(VariantValue, CastNeverConverts) {
  const variant five(5);
  EXPECT_EQ(five.cast<int>(), 5);
  EXPECT_TRUE(five.is_of_type<int>());
  EXPECT_FALSE(five.is_of_type<long>());
  EXPECT_THROW(five.cast<long>(), FB::bad_variant_cast);
  EXPECT_EQ(five.convert_cast<long>(), 5L);
}

TEST(VariantValue, FailedCastNamesBothKinds) {
  try {
    variant("true").cast<bool>();
    FAIL() << "cast<bool> of a string must fail";
  } catch (const std::bad_cast& error) {
    const auto& failure = dynamic_cast<const FB::bad_variant_cast&>(error);
    EXPECT_STREQ(failure.what(), "bad cast");
    EXPECT_EQ(failure.from(), kString);
    EXPECT_EQ(failure.to(), "b");
  }
}

TEST(VariantValue, AssignmentTranslatesLikeConstruction) {
  variant value = 1;
  value = "text";
  EXPECT_TRUE(value.is_of_type<std::string>());
  value = std::shared_ptr<Scriptable>();
  EXPECT_TRUE(value.is_null());
  value = variant();
  EXPECT_TRUE(value.is_of_type<void>());
}

// Values travel between threads as copies, so a copy must own its own text,
// list and map; only object references may be shared.
TEST(VariantValue, CopiesShareNothingButObjectReferences) {
  const auto object = std::make_shared<PageObject>();
  const variant original(VariantList{std::string("text"), VariantMap{{"k", std::string("v")}}, object});
  const variant copy = original;

  const auto* original_list = original.get_if<VariantList>();
  const auto* copied_list = copy.get_if<VariantList>();
  ASSERT_NE(original_list, nullptr);
  ASSERT_NE(copied_list, nullptr);
  EXPECT_NE(original_list, copied_list);
  EXPECT_NE((*original_list)[0].get_if<std::string>(), (*copied_list)[0].get_if<std::string>());
  EXPECT_NE((*original_list)[1].get_if<VariantMap>()->at("k").get_if<std::string>(),
            (*copied_list)[1].get_if<VariantMap>()->at("k").get_if<std::string>());
  EXPECT_EQ((*copied_list)[2].cast<FB::JSObjectPtr>(), object);

  variant assigned;
  assigned = original;
  EXPECT_NE(assigned.get_if<VariantList>(), original_list);
  EXPECT_FALSE(assigned < original || original < assigned);
}

TEST(VariantValue, ListOfChainsElementsInOrder) {
  const VariantList list = FB::variant_list_of(1)("two")(3.0);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].cast<int>(), 1);
  EXPECT_EQ(list[1].cast<std::string>(), "two");
  EXPECT_EQ(list[2].cast<double>(), 3.0);
}

struct OrderCase {
  const char* label;
  variant a;
  variant b;
  bool a_less;
  bool b_less;
};

class VariantOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(VariantOrder, FollowsKindRuleThenTypeName) {
  const OrderCase& c = GetParam();
  EXPECT_EQ(c.a < c.b, c.a_less);
  EXPECT_EQ(c.b < c.a, c.b_less);
}

const auto kObject = std::make_shared<PageObject>();
const auto kOtherObject = std::make_shared<PageObject>();

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantOrder,
    ::testing::Values(
        OrderCase{"nothing_equals_nothing", variant(), variant(), false, false},
        OrderCase{"null_equals_null", variant(marker::null()), variant(marker::null()), false, false},
        OrderCase{"empty_marker_before_nothing", variant(marker::empty()), variant(), true, false},
        OrderCase{"null_before_empty_marker", variant(marker::null()), variant(marker::empty()), true, false},
        OrderCase{"false_before_true", variant(false), variant(true), true, false},
        OrderCase{"ints_by_value", variant(1), variant(2), true, false},
        OrderCase{"unsigned_compare_unsigned", variant(1u), variant(4000000000u), true, false},
        OrderCase{"double_before_int_whatever_values", variant(1), variant(2.0), false, true},
        OrderCase{"int_before_unsigned_long", variant(9), variant(1UL), true, false},
        OrderCase{"strings_by_code_unit", variant("B"), variant("a"), true, false},
        OrderCase{"wide_strings_by_code_unit", variant(L"a"), variant(L"b"), true, false},
        OrderCase{"string_before_bool", variant("z"), variant(false), true, false},
        OrderCase{"null_before_number", variant(marker::null()), variant(0), true, false},
        OrderCase{"lists_elementwise", variant(VariantList{1, 2}), variant(VariantList{1, 3}), true, false},
        OrderCase{"shorter_list_first", variant(VariantList{1}), variant(VariantList{1, 0}), true, false},
        OrderCase{"maps_by_key_first", variant(VariantMap{{"a", 9}}), variant(VariantMap{{"b", 1}}), true,
                  false},
        OrderCase{"maps_then_by_value", variant(VariantMap{{"a", 1}}), variant(VariantMap{{"a", 2}}), true,
                  false},
        OrderCase{"same_object_equal", variant(kObject), variant(kObject), false, false},
        OrderCase{"distinct_objects_ordered", variant(kObject), variant(kOtherObject),
                  kObject.owner_before(kOtherObject), kOtherObject.owner_before(kObject)}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.label); });

TEST(VariantOrder, SortsMixedKindsByTypeName) {
  std::vector<variant> values{variant(1), variant(2.0), variant(true), variant("s"), variant(),
                              variant(marker::null()), variant(1UL)};
  std::sort(values.begin(), values.end());
  std::vector<std::string> names;
  for (const variant& v : values) names.emplace_back(v.get_type());
  EXPECT_EQ(names, (std::vector<std::string>{"N2FB14variant_detail4nullE", kString, "b", "d", "i",
                                             "m", "v"}));
}

}  // namespace
