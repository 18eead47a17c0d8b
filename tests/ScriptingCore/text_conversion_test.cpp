#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "ScriptingCore/variant.h"
#include "test_objects.h"

namespace {

using FB::variant;
using FB::VariantList;
namespace marker = FB::variant_detail;

const std::string kString = "NSt3__112basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEE";

template <class T>
void expect_failure(const variant& value, const std::string& from, const std::string& to) {
  try {
    (void)value.convert_cast<T>();
    ADD_FAILURE() << "a " << value.get_type() << " must not convert";
  } catch (const FB::bad_variant_cast& failure) {
    EXPECT_STREQ(failure.what(), "bad cast");
    EXPECT_EQ(failure.from(), from);
    EXPECT_EQ(failure.to(), to);
  }
}

struct BoolCase {
  variant input;
  bool expected;
};

class BoolConversion : public ::testing::TestWithParam<BoolCase> {};

TEST_P(BoolConversion, ReadsWordsAndNumbers) {
  EXPECT_EQ(GetParam().input.convert_cast<bool>(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Words, BoolConversion,
    ::testing::Values(BoolCase{variant("Yes"), true}, BoolCase{variant("TRUE"), true},
                      BoolCase{variant("t"), true}, BoolCase{variant("1"), true},
                      BoolCase{variant("Y"), true}, BoolCase{variant(L"yEs"), true},
                      BoolCase{variant("on"), false}, BoolCase{variant("2"), false},
                      BoolCase{variant("false"), false}, BoolCase{variant(""), false},
                      BoolCase{variant(" true"), false}, BoolCase{variant("true "), false},
                      BoolCase{variant("\xc3\xbf"), false}, BoolCase{variant(L"no"), false}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, BoolConversion,
    ::testing::Values(BoolCase{variant(true), true}, BoolCase{variant(false), false},
                      BoolCase{variant(2), true}, BoolCase{variant(0), false},
                      BoolCase{variant(0.4), false}, BoolCase{variant(-1.5), true},
                      BoolCase{variant(0UL), false}, BoolCase{variant('\0'), false}));

// Whatever the kind, a failed bool comes from the inner conversion to long.
TEST(BoolConversion, NonNumbersFailThroughLong) {
  expect_failure<bool>(variant(VariantList{1}), "NSt3__16vectorIN2FB7variantENS_9allocatorIS2_EEEE", "l");
  expect_failure<bool>(variant(), "v", "l");
  expect_failure<bool>(variant(marker::null()), "N2FB14variant_detail4nullE", "l");
  expect_failure<bool>(variant(1e300), "d", "l");
}

TEST(TriStateConversion, NoValueIsIndeterminate) {
  EXPECT_EQ(variant().convert_cast<std::optional<bool>>(), std::nullopt);
  EXPECT_EQ(variant(marker::empty()).convert_cast<std::optional<bool>>(), std::nullopt);
  EXPECT_EQ(variant(marker::null()).convert_cast<std::optional<bool>>(), std::nullopt);
  EXPECT_EQ(variant("yes").convert_cast<std::optional<bool>>(), std::optional<bool>(true));
  EXPECT_EQ(variant(0).convert_cast<std::optional<bool>>(), std::optional<bool>(false));
  expect_failure<std::optional<bool>>(variant(VariantList{}),
                                      "NSt3__16vectorIN2FB7variantENS_9allocatorIS2_EEEE", "l");
}

struct StringCase {
  variant input;
  std::string expected;
};

class StringConversion : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringConversion, WritesLikeDefaultStreamOutput) {
  EXPECT_EQ(GetParam().input.convert_cast<std::string>(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringConversion,
    ::testing::Values(
        StringCase{variant("as is"), "as is"}, StringCase{variant(65), "65"},
        StringCase{variant(-12), "-12"}, StringCase{variant('A'), "A"},
        StringCase{variant(static_cast<unsigned char>(66)), "B"},
        StringCase{variant(0.5), "0.5"}, StringCase{variant(0.1), "0.1"},
        StringCase{variant(2.5), "2.5"}, StringCase{variant(100000000.0), "1e+08"},
        StringCase{variant(3.14159265), "3.14159"}, StringCase{variant(1.5f), "1.5"},
        StringCase{variant(-0.0), "-0"}, StringCase{variant(true), "true"},
        StringCase{variant(false), "false"}, StringCase{variant(4294967295u), "4294967295"},
        StringCase{variant(std::numeric_limits<long long>::min()), "-9223372036854775808"},
        StringCase{variant(std::numeric_limits<unsigned long long>::max()), "18446744073709551615"},
        StringCase{variant(static_cast<short>(-3)), "-3"},
        StringCase{variant(static_cast<unsigned short>(65535)), "65535"},
        StringCase{variant(L"caf\u00e9 \U0001D11E"), "caf\xc3\xa9 \xf0\x9d\x84\x9e"}));

TEST(StringConversion, KindsWithoutTextFail) {
  expect_failure<std::string>(variant(), "v", kString);
  expect_failure<std::string>(variant(marker::empty()), "N2FB14variant_detail5emptyE", kString);
  expect_failure<std::string>(variant(marker::null()), "N2FB14variant_detail4nullE", kString);
  expect_failure<std::string>(variant(VariantList{}), "NSt3__16vectorIN2FB7variantENS_9allocatorIS2_EEEE",
                              kString);
  expect_failure<std::string>(variant(FB::testing::PageObject::object({})),
                              "N5boost10shared_ptrIN2FB8JSObjectEEE", kString);
}

TEST(StringConversion, TextsReadBackAsTheirNumbers) {
  EXPECT_EQ(variant(variant(3.5).convert_cast<std::string>()).convert_cast<double>(), 3.5);
  EXPECT_EQ(variant(variant('z').convert_cast<std::string>()).convert_cast<char>(), 'z');
}

TEST(VariantConversion, VariantAndMarkerTargetsNeverFail) {
  const variant list(VariantList{1, "a"});
  const variant same = list.convert_cast<variant>();
  EXPECT_FALSE(same < list || list < same);
  EXPECT_NO_THROW(list.convert_cast<void>());
  EXPECT_NO_THROW(list.convert_cast<marker::empty>());
  EXPECT_NO_THROW(variant().convert_cast<marker::null>());
  EXPECT_TRUE(variant(VariantList{}).can_be_type<variant>());
}

}  // namespace
