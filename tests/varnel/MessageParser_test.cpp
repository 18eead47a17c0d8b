#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "varnel/MessageParser.h"

namespace {

using varnel::Message;
using varnel::MessageParser;

const char* const kTooShort = "MessageParser::parse : A RawMessage_t should contain at least 10 elements";

// A message of `length` zero bytes with the given bytes set.
RawMessage_t bytes_set(std::size_t length, std::vector<std::pair<std::size_t, unsigned char>> set) {
  RawMessage_t raw(length, 0);
  for (const auto& [index, value] : set) raw[index] = value;
  return raw;
}

struct FieldCase {
  const char* name;
  RawMessage_t raw;
  const char* serial;
  std::uint32_t otp1;
  std::uint32_t otp2;
};

std::ostream& operator<<(std::ostream& out, const FieldCase& c) { return out << c.name; }

class MessageParserFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(MessageParserFields, GivesSerialAndBothPasswords) {
  const FieldCase& c = GetParam();
  const Message message = MessageParser::parse(c.raw);
  EXPECT_EQ(message.serial, c.serial);
  ASSERT_EQ(message.otps.size(), 2u);
  EXPECT_EQ(message.otps[0], c.otp1);
  EXPECT_EQ(message.otps[1], c.otp2);
}

INSTANTIATE_TEST_SUITE_P(
    TenBytes, MessageParserFields,
    ::testing::Values(
        FieldCase{"AllZero",           RawMessage_t(10, 0x00),                    "00000000", 0,                  0},
        FieldCase{"AllOnes",           RawMessage_t(10, 0xFF),                    "1fffffff", (1u << 31) - 1,     (1u << 20) - 1},
        FieldCase{"SerialTopBit",      bytes_set(10, {{0, 0x80}}),                "10000000", 0,                  0},
        FieldCase{"SerialLowestBit",   bytes_set(10, {{3, 0x08}}),                "00000001", 0,                  0},
        FieldCase{"Otp1TopBit",        bytes_set(10, {{3, 0x04}}),                "00000000", 1u << 30,           0},
        FieldCase{"Otp1LowestBit",     bytes_set(10, {{7, 0x10}}),                "00000000", 1,                  0},
        FieldCase{"Otp2TopBit",        bytes_set(10, {{7, 0x08}}),                "00000000", 0,                  1u << 19},
        FieldCase{"Otp2LowestBit",     bytes_set(10, {{9, 0x01}}),                "00000000", 0,                  1},
        // Every field mixed, worked out bit by bit from the 80-bit string.
        FieldCase{"Mixed",             {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe, 0x00, 0xff},
                                                                                  "02064a8e", 0x698badcf,         0xe00ff}),
    [](const auto& info) { return std::string(info.param.name); });

// Longer vectors: serial from the front four bytes, passwords from the back seven.
INSTANTIATE_TEST_SUITE_P(
    LongerVectors, MessageParserFields,
    ::testing::Values(
        FieldCase{"ElevenOtp1TopBits", bytes_set(11, {{4, 0x07}}),                "00000000", 7u << 28,           0},
        FieldCase{"ElevenByteThreeIgnored", bytes_set(11, {{3, 0x07}}),           "00000000", 0,                  0},
        FieldCase{"ElevenSerialLowestBit", bytes_set(11, {{3, 0x08}}),            "00000001", 0,                  0},
        FieldCase{"ElevenOtp2LowestBit", bytes_set(11, {{10, 0x01}}),             "00000000", 0,                  1},
        FieldCase{"MiddleBytesIgnored", bytes_set(20, {{4, 0xFF}, {8, 0xFF}, {12, 0xFF}}),
                                                                                  "00000000", 0,                  0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageParser, RejectsVectorsShorterThanTenBytes) {
  for (std::size_t length : {0u, 1u, 4u, 9u}) {
    SCOPED_TRACE(length);
    try {
      MessageParser::parse(RawMessage_t(length, 0xFF));
      ADD_FAILURE() << "no exception";
    } catch (const varnel::BadRawMessage& e) {
      EXPECT_STREQ(e.what(), kTooShort);
    }
  }
}

TEST(MessageParser, ShortVectorIsADecoderException) {
  EXPECT_THROW(MessageParser::parse(RawMessage_t(9, 0)), varnel::DecoderException);
}

TEST(MessageParser, SerialIsAlwaysEightLowercaseDigits) {
  // Each serial nibble at its largest value in turn, so every digit a-f shows up.
  for (unsigned int shift = 0; shift < 29; shift += 4) {
    const std::uint32_t serial = 0x1FFFFFFFu & (0xFu << shift);
    const std::uint32_t word = serial << 3;
    const RawMessage_t raw = {static_cast<unsigned char>(word >> 24), static_cast<unsigned char>(word >> 16),
                              static_cast<unsigned char>(word >> 8), static_cast<unsigned char>(word), 0, 0, 0, 0, 0, 0};
    const std::string text = MessageParser::parse(raw).serial;
    SCOPED_TRACE(text);
    EXPECT_EQ(text.size(), 8u);
    for (char c : text) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f'));
    EXPECT_EQ(std::stoul(text, nullptr, 16), serial);
  }
}

Message parsed_sample() { return MessageParser::parse(RawMessage_t(10, 0xFF)); }

TEST(Message, StartsEmpty) {
  const Message message;
  EXPECT_TRUE(message.serial.empty());
  EXPECT_TRUE(message.otps.empty());
}

TEST(Message, ResetEmptiesBothFields) {
  Message message = parsed_sample();
  message.reset();
  EXPECT_TRUE(message.serial.empty());
  EXPECT_TRUE(message.otps.empty());
}

TEST(Message, AssignmentCopiesBothFieldsAndSelfAssignmentKeepsThem) {
  Message message;
  message = parsed_sample();
  EXPECT_EQ(message.serial, "1fffffff");
  EXPECT_EQ(message.otps, (std::vector<std::uint32_t>{(1u << 31) - 1, (1u << 20) - 1}));

  Message& same = message;
  message = same;
  EXPECT_EQ(message.serial, "1fffffff");
  EXPECT_EQ(message.otps, (std::vector<std::uint32_t>{(1u << 31) - 1, (1u << 20) - 1}));
}

}  // namespace
