#include "tools/message_fields.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tools/arguments.h"
#include "varnel/MessageParser.h"

namespace {

using sirko_tool::MessageFields;

std::string serial_text(uint32_t serial) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", serial);
  return text;
}

// Each field at its bounds and with single bits at its edges, beside
// neighbours that are all ones or all zeros, so that a bit spilling into the
// next field or lost at a shared byte shows.
TEST(PackMessage, ParsesBackToTheSameFields) {
  const uint32_t serials[] = {0, 1, 0x10000000, 0x1ffffffe, 0x1fffffff, 0x0abcdef1};
  const uint32_t otp1s[] = {0, 1, 0x40000000, 0x7ffffffe, 0x7fffffff, 0x12345678};
  const uint32_t otp2s[] = {0, 1, 0x80000, 0xffffe, 0xfffff, 0x5a5a5};
  for (uint32_t serial : serials) {
    for (uint32_t otp1 : otp1s) {
      for (uint32_t otp2 : otp2s) {
        const demod::MessageBytes packed = sirko_tool::pack_message({serial, otp1, otp2});
        const varnel::Message parsed =
            varnel::MessageParser::parse(RawMessage_t(packed.begin(), packed.end()));
        ASSERT_EQ(parsed.serial, serial_text(serial)) << otp1 << " " << otp2;
        ASSERT_EQ(parsed.otps, (std::vector<uint32_t>{otp1, otp2})) << parsed.serial;
      }
    }
  }
}

TEST(PackMessage, FieldsLieWhereTheBytesSayTheyDo) {
  // The parser's own boundary cases, the other way round.
  const struct {
    MessageFields fields;
    demod::MessageBytes bytes;
  } cases[] = {
      {{0x10000000, 0, 0}, {0x80}},
      {{1, 0, 0}, {0, 0, 0, 0x08}},
      {{0, 1u << 30, 0}, {0, 0, 0, 0x04}},
      {{0, 1, 0}, {0, 0, 0, 0, 0, 0, 0, 0x10}},
      {{0, 0, 1u << 19}, {0, 0, 0, 0, 0, 0, 0, 0x08}},
      {{0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sirko_tool::pack_message(c.fields), c.bytes)
        << c.fields.serial << " " << c.fields.otp1 << " " << c.fields.otp2;
  }
}

TEST(ParseFields, TakeWhatFitsTheirWidths) {
  EXPECT_EQ(sirko_tool::parse_serial("--serial", "1fffffff"), 0x1fffffffu);
  EXPECT_EQ(sirko_tool::parse_serial("--serial", "00ABCdef"), 0xabcdefu);
  EXPECT_EQ(sirko_tool::parse_serial("--serial", "0"), 0u);
  EXPECT_EQ(sirko_tool::parse_otp("--otp1", "2147483647", sirko_tool::kOtp1Bits), 0x7fffffffu);
  EXPECT_EQ(sirko_tool::parse_otp("--otp2", "0001048575", sirko_tool::kOtp2Bits), 0xfffffu);
}

TEST(ParseFields, RefuseWithTheOptionsName) {
  const struct {
    bool serial;
    std::string text;
    std::string message;
  } cases[] = {
      {true, "20000000", "--serial: 20000000 does not fit in 29 bits (at most 1fffffff)"},
      {true, "ffffffff", "--serial: ffffffff does not fit in 29 bits (at most 1fffffff)"},
      {true, "123456789", "--serial: '123456789' is not 1 to 8 hexadecimal digits"},
      {true, "12g4", "--serial: '12g4' is not 1 to 8 hexadecimal digits"},
      {true, "", "--serial: '' is not 1 to 8 hexadecimal digits"},
      {false, "1048576", "--otp2: 1048576 does not fit in 20 bits (at most 1048575)"},
      {false, "18446744073709551616",
       "--otp2: 18446744073709551616 does not fit in 20 bits (at most 1048575)"},
      {false, "-1", "--otp2: '-1' is not a whole number"},
      {false, "1e3", "--otp2: '1e3' is not a whole number"},
      {false, "", "--otp2: '' is not a whole number"},
  };
  for (const auto& c : cases) {
    try {
      if (c.serial) {
        sirko_tool::parse_serial("--serial", c.text);
      } else {
        sirko_tool::parse_otp("--otp2", c.text, sirko_tool::kOtp2Bits);
      }
      ADD_FAILURE() << "accepted '" << c.text << "'";
    } catch (const sirko_tool::UsageError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

}  // namespace
