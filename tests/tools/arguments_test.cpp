#include "tools/arguments.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using sirko_tool::parse_arguments;
using sirko_tool::UsageError;

struct NumberCase {
  std::string text;
  std::optional<double> value;  // none: refused
};

class ParseRealTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ParseRealTest, TakesOnlyAWholeFiniteNumber) {
  const NumberCase& number = GetParam();
  if (number.value) {
    EXPECT_EQ(sirko_tool::parse_real("--speed", number.text), *number.value);
  } else {
    try {
      sirko_tool::parse_real("--speed", number.text);
      FAIL() << "accepted '" << number.text << "'";
    } catch (const UsageError& error) {
      EXPECT_EQ(std::string(error.what()), "--speed: '" + number.text + "' is not a number");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseRealTest,
    testing::Values(NumberCase{"1.02", 1.02}, NumberCase{"-5", -5.0}, NumberCase{"1e-3", 1e-3},
                    NumberCase{"", std::nullopt}, NumberCase{"abc", std::nullopt},
                    NumberCase{"1.0x", std::nullopt}, NumberCase{" 1", std::nullopt},
                    NumberCase{"1 ", std::nullopt}, NumberCase{"inf", std::nullopt},
                    NumberCase{"nan", std::nullopt}, NumberCase{"1e999", std::nullopt}));

TEST(ParseUint32, WholeRangeAndNothingElse) {
  EXPECT_EQ(sirko_tool::parse_uint32("--seed", "0"), 0u);
  EXPECT_EQ(sirko_tool::parse_uint32("--seed", "4294967295"), 4294967295u);
  for (const char* text : {"-1", "+1", "4294967296", "1.0", "", "0x10"}) {
    EXPECT_THROW(sirko_tool::parse_uint32("--seed", text), UsageError) << text;
  }
}

TEST(ParseArguments, OptionsValuesAndPositionals) {
  const auto parsed = parse_arguments({"msg", "--speed=1.01", "-o", "f", "--flag", "--", "--x"},
                                      {{"--speed", true}, {"-o", true}, {"--flag", false}});
  EXPECT_EQ(parsed.value("--speed"), "1.01");
  EXPECT_EQ(parsed.value("-o"), "f");
  EXPECT_TRUE(parsed.has("--flag"));
  EXPECT_EQ(parsed.positionals(), (std::vector<std::string>{"msg", "--x"}));
}

TEST(ParseArguments, ValueMayLookLikeANumberWithASign) {
  EXPECT_EQ(parse_arguments({"--snr", "-5"}, {{"--snr", true}}).value("--snr"), "-5");
}

TEST(ParseArguments, MistakesNameTheOption) {
  const std::vector<sirko_tool::OptionSpec> options = {{"--speed", true}, {"--flag", false}};
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{"--sped", "1"}, "unknown option '--sped'"},
      {{"--speed"}, "--speed: needs a value"},
      {{"--speed", "1", "--speed=1"}, "--speed: given more than once"},
      {{"--flag=1"}, "--flag: takes no value"},
  };
  for (const auto& mistake : cases) {
    try {
      parse_arguments(mistake.arguments, options);
      ADD_FAILURE() << "accepted " << mistake.message;
    } catch (const UsageError& error) {
      EXPECT_EQ(std::string(error.what()), mistake.message);
    }
  }
}

TEST(AsksForHelp, OnlyBeforeTheEndOfOptions) {
  EXPECT_TRUE(sirko_tool::asks_for_help({"--bogus", "--help"}));
  EXPECT_TRUE(sirko_tool::asks_for_help({"-h"}));
  EXPECT_FALSE(sirko_tool::asks_for_help({"--", "--help"}));
}

}  // namespace
