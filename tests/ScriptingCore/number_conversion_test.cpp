#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "ScriptingCore/variant.h"
#include "test_objects.h"

namespace {

using FB::variant;
using FB::VariantList;
using FB::VariantMap;
namespace marker = FB::variant_detail;

constexpr auto fails = std::nullopt;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// One row: the value given and the number expected, or none when the
// conversion must fail naming the given kind as "from" and T as "to".
template <class T>
struct NumberCase {
  variant input;
  std::optional<T> expected;
};

template <class T>
void check_number_cases(const std::vector<NumberCase<T>>& cases) {
  for (std::size_t row = 0; row < cases.size(); ++row) {
    const NumberCase<T>& c = cases[row];
    SCOPED_TRACE(::testing::Message() << "row " << row << ", holding " << c.input.get_type());
    EXPECT_EQ(c.input.template can_be_type<T>(), c.expected.has_value());
    if (c.expected) {
      EXPECT_EQ(c.input.template convert_cast<T>(), *c.expected);
      continue;
    }
    try {
      const T number = c.input.template convert_cast<T>();
      ADD_FAILURE() << "converted to " << +number;
    } catch (const FB::bad_variant_cast& failure) {
      EXPECT_EQ(failure.from(), c.input.get_type());
      EXPECT_EQ(failure.to(), FB::type_name<T>());
    }
  }
}

// The kinds that hold no number at all fail for every number target.
template <class T>
std::vector<NumberCase<T>> with_kinds_that_are_no_number(std::vector<NumberCase<T>> cases) {
  for (const variant& no_number :
       {variant(), variant(marker::empty()), variant(marker::null()), variant(VariantList{1}),
        variant(VariantMap{{"k", 1}}), variant(FB::testing::PageObject::array({1}))}) {
    cases.push_back({no_number, fails});
  }
  return cases;
}

TEST(NumberConversion, ToInt) {
  check_number_cases<int>(with_kinds_that_are_no_number<int>({
      {variant(7), 7},
      {variant(3.99), 3},
      {variant(-3.99), -3},
      {variant(2147483647.9), 2147483647},
      {variant(2147483648.0), fails},
      {variant(-2147483648.9), std::numeric_limits<int>::min()},
      {variant(-2147483649.0), fails},
      {variant(kNaN), fails},
      {variant(kInfinity), fails},
      {variant(-kInfinity), fails},
      {variant(2.5f), 2},
      {variant(2147483647L), 2147483647},
      {variant(2147483648L), fails},
      {variant(-2147483649LL), fails},
      {variant(4294967295u), fails},
      {variant(static_cast<short>(-5)), -5},
      {variant('A'), 65},
      {variant(static_cast<unsigned char>(200)), 200},
      {variant(true), 1},
      {variant(false), 0},
      {variant(" 42abc"), 42},
      {variant("-17"), -17},
      {variant("abc"), fails},
      {variant(""), fails},
      {variant("99999999999"), fails},
      {variant(L" 7 apples"), 7},
      {variant(L"seven"), fails},
  }));
}

TEST(NumberConversion, ToLong) {
  check_number_cases<long>(with_kinds_that_are_no_number<long>({
      {variant(5), 5L},
      {variant(" 42abc"), 42L},
      {variant("abc"), fails},
      {variant(""), fails},
      {variant(std::numeric_limits<unsigned long>::max()), fails},
      {variant(0.4), 0L},
  }));
}

TEST(NumberConversion, ToUnsignedLong) {
  check_number_cases<unsigned long>(with_kinds_that_are_no_number<unsigned long>({
      {variant(5), 5UL},
      {variant(-5), fails},
      {variant(-5L), fails},
      {variant(-0.5), 0UL},
      {variant(-1.0), fails},
      {variant(18446744073709549568.0), 18446744073709549568UL},  // largest double below 2^64
      {variant(18446744073709551616.0), fails},                   // 2^64
      {variant(true), 1UL},
      {variant("7"), 7UL},
      // Stream extraction would wrap these round to huge values.
      {variant("-5"), fails},
      {variant(" -1"), fails},
      {variant(L"-5"), fails},
      {variant("-0"), 0UL},
  }));
}

// The capture run's "timeout" parameter comes as text, or not at all.
TEST(NumberConversion, TimeoutParameterTexts) {
  check_number_cases<unsigned long>({
      {variant(std::optional<std::string>("0")), 0UL},
      {variant(std::optional<std::string>("3")), 3UL},
      {variant(std::optional<std::string>("25")), 25UL},
      {variant(std::optional<std::string>(" 4")), 4UL},
      {variant(std::optional<std::string>("4s")), 4UL},
      {variant(std::optional<std::string>("abc")), fails},
      {variant(std::optional<std::string>("")), fails},
      {variant(std::optional<std::string>()), fails},
  });
}

TEST(NumberConversion, ToShortAndLongLong) {
  check_number_cases<short>({
      {variant(32767), static_cast<short>(32767)},
      {variant(32768), fails},
      {variant(-32768.5), static_cast<short>(-32768)},
      {variant("40000"), fails},
  });
  check_number_cases<long long>({
      {variant(-9223372036854775808.0), std::numeric_limits<long long>::min()},
      {variant(9223372036854775808.0), fails},
      {variant(std::numeric_limits<unsigned long long>::max()), fails},
      {variant("-9223372036854775808"), std::numeric_limits<long long>::min()},
      {variant("9223372036854775808"), fails},
  });
  check_number_cases<unsigned long long>({
      {variant(-1LL), fails},
      {variant(std::numeric_limits<long long>::max()), 9223372036854775807ULL},
  });
}

// A character target reads one character from a text, as it writes one.
TEST(NumberConversion, ToCharacters) {
  check_number_cases<char>({
      {variant(65), 'A'},
      {variant(300), fails},
      {variant("65"), '6'},
      {variant(" x"), 'x'},
      {variant(""), fails},
  });
  check_number_cases<unsigned char>({
      {variant(-1), fails},
      {variant(255), static_cast<unsigned char>(255)},
      {variant("-"), static_cast<unsigned char>('-')},
  });
}

TEST(NumberConversion, ToFloatingPoint) {
  check_number_cases<double>(with_kinds_that_are_no_number<double>({
      {variant(5), 5.0},
      {variant(0.5f), 0.5},
      {variant(std::numeric_limits<unsigned long long>::max()), 18446744073709551616.0},
      {variant(true), 1.0},
      {variant("3.5x"), 3.5},
      {variant(" .25"), 0.25},
      {variant("1e400"), fails},
      {variant("x3.5"), fails},
  }));
  check_number_cases<float>({
      {variant(3.0), 3.0f},
      {variant(0.1), 0.1f},
      {variant(1e300), fails},
      {variant(-1e300), fails},
      {variant(kInfinity), std::numeric_limits<float>::infinity()},
      {variant(16777217), 16777216.0f},
      {variant("1e50"), fails},
  });
}

}  // namespace
