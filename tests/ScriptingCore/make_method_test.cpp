#include "ScriptingCore/make_method.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "ScriptingCore/script_error.h"
#include "same_value.h"

namespace {

using FB::variant;
using FB::VariantList;
using FB::testing::same;
namespace marker = FB::variant_detail;

// Typed members of 0 to 6 parameters; each reports what it received.
struct Typed {
  std::string none() { return "none"; }
  int one(int a) const { return a; }
  std::string two(const std::string& a, const variant& b) {
    return a + "," + std::string(b.get_type());
  }
  double three(int a, double b, long c) { return a + b + static_cast<double>(c); }
  int five(int a, int b, int c, int d, int e) { return a + b + c + d + e; }
  std::string six(bool a, long b, unsigned long c, double d, std::string e, VariantList f) {
    return std::to_string(a) + std::to_string(b) + std::to_string(c) + std::to_string(d) + e +
           std::to_string(f.size());
  }
  void nothing(int a) { last = a; }
  variant pass(variant a) noexcept { return a; }

  int last = 0;
};

struct CallCase {
  const char* name;
  std::function<FB::CallMethodFunctor(Typed*)> method;
  VariantList arguments;
  variant result;     // compared when error is empty
  std::string error;  // the invalid_arguments text expected
};

// Names the case in test listings instead of its bytes.
void PrintTo(const CallCase& c, std::ostream* os) { *os << c.name; }

class MakeMethod : public ::testing::TestWithParam<CallCase> {};

TEST_P(MakeMethod, ConvertsArgumentsAndResult) {
  Typed object;
  const FB::CallMethodFunctor call = GetParam().method(&object);
  if (GetParam().error.empty()) {
    const variant result = call(GetParam().arguments);
    EXPECT_TRUE(same(result, GetParam().result))
        << "got a " << result.get_type() << ", expected a " << GetParam().result.get_type();
    return;
  }
  try {
    call(GetParam().arguments);
    ADD_FAILURE() << "expected: " << GetParam().error;
  } catch (const FB::invalid_arguments& error) {
    EXPECT_EQ(error.what(), GetParam().error);
  }
}

auto none = [](Typed* o) { return FB::make_method(o, &Typed::none); };
auto one = [](Typed* o) { return FB::make_method(o, &Typed::one); };
auto two = [](Typed* o) { return FB::make_method(o, &Typed::two); };
auto three = [](Typed* o) { return FB::make_method(o, &Typed::three); };
auto five = [](Typed* o) { return FB::make_method(o, &Typed::five); };
auto six = [](Typed* o) { return FB::make_method(o, &Typed::six); };
auto nothing = [](Typed* o) { return FB::make_method(o, &Typed::nothing); };
auto pass = [](Typed* o) { return FB::make_method(o, &Typed::pass); };

const char* const kNull = "N2FB14variant_detail4nullE";
const std::string kString = "NSt3__112basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEE";

INSTANTIATE_TEST_SUITE_P(
    Arities, MakeMethod,
    ::testing::Values(
        CallCase{"NoParameters", none, {}, "none", ""},
        CallCase{"NoParametersIgnoresArguments", none, {1, "x", marker::null()}, "none", ""},
        CallCase{"OneConverted", one, {"42"}, 42, ""},
        CallCase{"OneMissing", one, {}, {}, "Error: Argument 1is not optional."},
        CallCase{"OneTooMany", one, {1, 2}, {}, "Too many arguments, expected 1."},
        CallCase{"OneNotConvertible",
                 one,
                 {marker::null()},
                 {},
                 std::string("Invalid argument conversion from ") + kNull + " to i at index 1"},
        CallCase{"VariantMayBeMissing", two, {"a"}, "a,v", ""},
        CallCase{"VariantTakenAsItIs", two, {"a", 2.5}, "a,d", ""},
        CallCase{"StringMissing", two, {}, {}, "Error: Argument 1is not optional."},
        CallCase{"ThreeMixed", three, {1, "2.5", 3}, 6.5, ""},
        CallCase{"ThreeSecondMissing", three, {1}, {}, "Error: Argument 2is not optional."},
        CallCase{"FiveSummed", five, {1, 2, 3, 4, 5}, 15, ""},
        CallCase{"FiveBadThird",
                 five,
                 {1, 2, "x", 4, 5},
                 {},
                 "Invalid argument conversion from " + kString + " to i at index 3"},
        CallCase{"FiveFifthMissing", five, {1, 2, 3, 4}, {}, "Error: Argument 5is not optional."},
        CallCase{"FiveTooMany", five, {1, 2, 3, 4, 5, 6}, {}, "Too many arguments, expected 5."},
        // The surplus is noticed at the last parameter, after the earlier ones.
        CallCase{"BadArgumentBeforeSurplus",
                 five,
                 {1, "x", 3, 4, 5, 6},
                 {},
                 "Invalid argument conversion from " + kString + " to i at index 2"},
        CallCase{
            "SixOfEveryKind", six, {true, 2, 3, 0.5, "e", VariantList{1, 2}}, "1230.500000e2", ""},
        CallCase{"SixNegativeUnsigned",
                 six,
                 {true, 2, -3, 0.5, "e", VariantList{}},
                 {},
                 "Invalid argument conversion from i to m at index 3"},
        CallCase{"VoidGivesNothing", nothing, {9}, variant(), ""},
        CallCase{"VariantResultKept", pass, {marker::null()}, marker::null(), ""}),
    [](const ::testing::TestParamInfo<CallCase>& info) { return info.param.name; });

TEST(MakeMethod, CallsTheObjectGiven) {
  Typed object;
  FB::make_method(&object, &Typed::nothing)({7});
  EXPECT_EQ(object.last, 7);
}

// Members of a base class bound on a derived object.
TEST(MakeMethod, BaseMemberOnDerivedObject) {
  struct Derived : Typed {};
  Derived object;
  EXPECT_EQ(FB::make_method(&object, &Typed::one)({3}).cast<int>(), 3);
}

struct Level {
  int get() const { return value; }
  void set(int new_value) { value = new_value; }
  int value = 1;
};

TEST(MakeProperty, ReadOnlySetterDoesNothing) {
  Level level;
  const FB::PropertyFunctors property = FB::make_property(&level, &Level::get);
  property.set(5);
  EXPECT_EQ(property.get().cast<int>(), 1);
}

TEST(MakeProperty, SetterConvertsAndFailsAsBadCast) {
  Level level;
  const FB::PropertyFunctors property = FB::make_property(&level, &Level::get, &Level::set);
  property.set("5");
  EXPECT_EQ(level.value, 5);
  EXPECT_EQ(property.get().cast<int>(), 5);
  EXPECT_THROW(property.set("five"), FB::bad_variant_cast);
  EXPECT_EQ(level.value, 5);
}

}  // namespace
