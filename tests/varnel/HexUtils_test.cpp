#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "varnel/HexUtils.h"

namespace {

using Bytes = std::vector<unsigned char>;
using varnel::HexUtils;

struct HexCase {
  const char* name;
  std::string text;
  Bytes bytes;
};

std::ostream& operator<<(std::ostream& out, const HexCase& c) { return out << c.name; }

std::string case_name(const ::testing::TestParamInfo<HexCase>& info) { return info.param.name; }

class HexEncoding : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexEncoding, GivesTwoLowercaseDigitsPerByte) {
  EXPECT_EQ(HexUtils::binary_to_hex(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HexEncoding,
    ::testing::Values(HexCase{"Empty", "", {}},
                      HexCase{"LeadingZeroAndLetters", "000fa0ff", {0x00, 0x0F, 0xA0, 0xFF}},
                      HexCase{"EveryDigit", "0123456789abcdef", {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}}),
    case_name);

class HexDecoding : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexDecoding, GivesTheBytes) { EXPECT_EQ(HexUtils::hex_to_binary(GetParam().text), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(
    Texts, HexDecoding,
    ::testing::Values(HexCase{"Lowercase", "0fa0ff", {0x0F, 0xA0, 0xFF}},
                      HexCase{"UppercaseWithPrefix", "0X0FA0FF", {0x0F, 0xA0, 0xFF}},
                      HexCase{"MixedCase", "0xAbCd", {0xAB, 0xCD}},
                      HexCase{"OddLengthLedByZero", "abc", {0x0A, 0xBC}},
                      HexCase{"SingleDigit", "7", {0x07}},
                      HexCase{"PrefixInTheMiddle", "120x34", {0x12, 0x34}},
                      HexCase{"PrefixOnly", "0x", {}},
                      HexCase{"Empty", "", {}}),
    case_name);

class HexRejection : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexRejection, ThrowsInvalidHexString) {
  try {
    HexUtils::hex_to_binary(GetParam().text);
    ADD_FAILURE() << "no exception";
  } catch (const varnel::InvalidHexString& e) {
    EXPECT_STREQ(e.what(), "Cannot convert non-hexadecimal string.");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HexRejection,
    ::testing::Values(HexCase{"BlankBetweenDigits", "12 34", {}},
                      HexCase{"SecondPrefix", "0x0x12", {}},
                      HexCase{"LetterPastF", "0g", {}},
                      HexCase{"TrailingLineFeed", "12\n", {}},
                      HexCase{"Sign", "-1", {}},
                      HexCase{"LoneX", "x", {}},
                      HexCase{"EmbeddedNul", std::string("12\0" "34", 5), {}},
                      HexCase{"NonAscii", "\xc3\xa9", {}}),
    case_name);

TEST(HexUtils, InvalidHexStringIsAStdException) {
  EXPECT_THROW(HexUtils::hex_to_binary("zz"), std::exception);
}

TEST(HexUtils, EveryByteValueSurvivesTheRoundTrip) {
  Bytes all;
  for (int value = 0; value < 256; ++value) all.push_back(static_cast<unsigned char>(value));
  const std::string text = HexUtils::binary_to_hex(all);
  EXPECT_EQ(text.size(), 2 * all.size());
  EXPECT_EQ(HexUtils::hex_to_binary(text), all);
}

}  // namespace
