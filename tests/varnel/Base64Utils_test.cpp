#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "varnel/Base64Utils.h"

namespace {

using Bytes = std::vector<unsigned char>;
using varnel::Base64Utils;

const char* const kNotInCharSet = "attempt to decode a value not in base64 char set";
const char* const kTruncated = "Base64Utils::base64_to_binary : truncated base64 text";

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

struct Base64Case {
  const char* name;
  Bytes bytes;
  std::string text;
};

std::ostream& operator<<(std::ostream& out, const Base64Case& c) { return out << c.name; }

class Base64Encoding : public ::testing::TestWithParam<Base64Case> {};

TEST_P(Base64Encoding, GivesPaddedBase64WithLineFeeds) {
  EXPECT_EQ(Base64Utils::binary_to_base64(GetParam().bytes), GetParam().text);
}

TEST_P(Base64Encoding, DecodesBackToTheBytes) {
  EXPECT_EQ(Base64Utils::base64_to_binary(GetParam().text), GetParam().bytes);
}

// "foo" encodes as "Zm9v", so 18 of them fill one 72-character line.
const std::string kLine = repeated("Zm9v", 18);

INSTANTIATE_TEST_SUITE_P(
    Lengths, Base64Encoding,
    ::testing::Values(
        Base64Case{"Empty", {}, ""},
        Base64Case{"OneByte", bytes_of("f"), "Zg=="},
        Base64Case{"TwoBytes", bytes_of("fo"), "Zm8="},
        Base64Case{"ThreeBytes", bytes_of("foo"), "Zm9v"},
        Base64Case{"HighBits", {0xFF, 0xFE}, "//4="},
        Base64Case{"EveryBitOfTheLastCharacter", {0xFB, 0xFF, 0xBF}, "+/+/"},
        Base64Case{"FiftyFourBytesFillOneLine", bytes_of(repeated("foo", 18)), kLine},
        Base64Case{"FiftyFiveBytesBreakBeforeTheRest", bytes_of(repeated("foo", 18) + "f"), kLine + "\nZg=="},
        Base64Case{"FiftySixBytes", bytes_of(repeated("foo", 18) + "fo"), kLine + "\nZm8="},
        Base64Case{"FiftySevenBytes", bytes_of(repeated("foo", 19)), kLine + "\nZm9v"},
        Base64Case{"TwoFullLinesEndWithoutLineFeed", bytes_of(repeated("foo", 36)), kLine + "\n" + kLine},
        Base64Case{"ThirdLine", bytes_of(repeated("foo", 36) + "f"), kLine + "\n" + kLine + "\nZg=="}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Base64Utils, FiftyFiveBytesGiveSeventySevenCharacters) {
  const std::string text = Base64Utils::binary_to_base64(Bytes(55, 0x5A));
  EXPECT_EQ(text.size(), 77u);
  EXPECT_EQ(text.find('\n'), 72u);
  EXPECT_EQ(text.substr(75), "==");
}

// Every length across three lines, every byte value: lines of 72 characters
// but the last, no line feed at the end, and the bytes back unchanged.
TEST(Base64Utils, EveryLengthSurvivesTheRoundTrip) {
  for (std::size_t length = 0; length <= 3 * 54 + 3; ++length) {
    SCOPED_TRACE(length);
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(i * 97 + 13);

    const std::string text = Base64Utils::binary_to_base64(bytes);
    std::size_t characters = 0;
    std::size_t line_start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == '\n') {
        const std::size_t line = i - line_start;
        if (i < text.size()) {
          EXPECT_EQ(line, 72u) << "line at " << line_start;
        } else {
          EXPECT_LE(line, 72u);
          EXPECT_TRUE(line > 0 || length == 0) << "line feed at the end";
        }
        characters += line;
        line_start = i + 1;
      }
    }
    EXPECT_EQ(characters, (length + 2) / 3 * 4);
    EXPECT_EQ(Base64Utils::base64_to_binary(text), bytes);
  }
}

struct DecodeCase {
  const char* name;
  std::string text;
  Bytes bytes;
};

std::ostream& operator<<(std::ostream& out, const DecodeCase& c) { return out << c.name; }

class Base64Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Base64Decoding, GivesTheBytes) {
  EXPECT_EQ(Base64Utils::base64_to_binary(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Base64Decoding,
    ::testing::Values(
        DecodeCase{"BlanksBetweenGroups", "Zm9v YmFy", bytes_of("foobar")},
        DecodeCase{"BlanksInsideAGroup", "Z m\t9\r\nv", bytes_of("foo")},
        DecodeCase{"LeadingAndTrailingBlanks", " \n Zm8= \r\n\t ", bytes_of("fo")},
        DecodeCase{"BlanksOnly", " \t\r\n", {}},
        DecodeCase{"LineFeedBeforePadding", "Zg\n==", bytes_of("f")},
        DecodeCase{"UnpaddedOneByte", "Zg", bytes_of("f")},
        DecodeCase{"UnpaddedTwoBytes", "Zm8", bytes_of("fo")},
        DecodeCase{"UnpaddedWithTrailingBlank", "Zm9vYg \n", bytes_of("foob")},
        DecodeCase{"PaddingOnly", "====", {}},
        DecodeCase{"MorePaddingThanBytes", "Zg======", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectCase {
  const char* name;
  std::string text;
  const char* message;
};

std::ostream& operator<<(std::ostream& out, const RejectCase& c) { return out << c.name; }

class Base64Rejection : public ::testing::TestWithParam<RejectCase> {};

TEST_P(Base64Rejection, ThrowsInvalidBase64String) {
  try {
    Base64Utils::base64_to_binary(GetParam().text);
    ADD_FAILURE() << "no exception";
  } catch (const varnel::InvalidBase64String& e) {
    EXPECT_STREQ(e.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Base64Rejection,
    ::testing::Values(
        RejectCase{"Asterisk", "Zm9*", kNotInCharSet},
        RejectCase{"AsteriskAlone", "*", kNotInCharSet},
        RejectCase{"AsteriskAfterFullGroup", "Zm9v*", kNotInCharSet},
        RejectCase{"AsteriskBeforeLoneCharacter", "Zm*vY", kNotInCharSet},
        RejectCase{"UrlSafeAlphabet", "-_-_", kNotInCharSet},
        RejectCase{"NonAscii", "Zm\xc3\xa9", kNotInCharSet},
        RejectCase{"EmbeddedNul", std::string("Zm\0v", 4), kNotInCharSet},
        RejectCase{"LoneCharacter", "Z", kTruncated},
        RejectCase{"LoneCharacterAfterFullGroup", "Zm9vY", kTruncated},
        RejectCase{"LoneCharacterBeforeBlanks", "Zm9v\nY \r\n", kTruncated},
        RejectCase{"LonePadding", "Zm9v=", kTruncated}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Base64Utils, InvalidBase64StringIsAStdException) {
  EXPECT_THROW(Base64Utils::base64_to_binary("Zm9*"), std::exception);
}

}  // namespace
