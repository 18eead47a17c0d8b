#include "tools/report_format.h"

#include <gtest/gtest.h>

namespace {

using sirko_tool::json_string;

struct JsonCase {
  const char* name;
  std::string text;
  std::string literal;
};

class JsonStringTest : public testing::TestWithParam<JsonCase> {};

TEST_P(JsonStringTest, Escapes) { EXPECT_EQ(json_string(GetParam().text), GetParam().literal); }

const JsonCase kJsonCases[] = {
    {"Plain", "rec/frame-1.raw", R"("rec/frame-1.raw")"},
    {"QuoteAndBackslash", R"(a"b\c)", R"("a\"b\\c")"},
    {"NamedControls", "a\nb\tc\rd\be\ff", R"("a\nb\tc\rd\be\ff")"},
    {"OtherControls",
     std::string("a\x01"
                 "b\x1f"
                 "c\0d",
                 7),
     R"("a\u0001b\u001fc\u0000d")"},
    {"Utf8PassesThrough", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5",
     "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5\""},
    {"StrayByte",
     "a\xff"
     "b",
     R"("a\ufffdb")"},
    {"Overlong", "\xc0\xaf", R"("\ufffd\ufffd")"},
    {"Surrogate", "\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},
    {"BeyondUnicode", "\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},
    {"CutShortAtEnd", "a\xe2\x82", R"("a\ufffd\ufffd")"},
};

INSTANTIATE_TEST_SUITE_P(Texts, JsonStringTest, testing::ValuesIn(kJsonCases),
                         [](const testing::TestParamInfo<JsonCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ReportLines, FrameAndFailureInBothForms) {
  const sirko_tool::FoundFrame frame{{0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0x00, 0xff},
                                     10432};
  EXPECT_EQ(sirko_tool::frame_line("a\"b.raw", frame, false),
            "a\"b.raw: frame at 1.304 s: 0123456789abcdef00ff "
            "(serial 002468ac, otp1 2023406814, otp2 983295)");
  EXPECT_EQ(sirko_tool::frame_line("a\"b.raw", frame, true),
            R"({"file": "a\"b.raw", "at": 1.304, "message": "0123456789abcdef00ff", )"
            R"("serial": "002468ac", "otp1": 2023406814, "otp2": 983295})");

  const std::string message = "AudioDecoder::decode_buffer : No decodable data in buffer";
  EXPECT_EQ(sirko_tool::no_frame_line("x.raw", message, false), "x.raw: " + message);
  EXPECT_EQ(sirko_tool::no_frame_line("x.raw", message, true),
            R"({"file": "x.raw", "error": ")" + message + "\"}");
}

TEST(ReportLines, MessageWithItsFieldsAtTheirLargest) {
  const RawMessage_t ones(10, 0xff);
  EXPECT_EQ(sirko_tool::message_line(ones, false),
            "ffffffffffffffffffff (serial 1fffffff, otp1 2147483647, otp2 1048575)");
  EXPECT_EQ(sirko_tool::message_line(ones, true),
            R"({"message": "ffffffffffffffffffff", "serial": "1fffffff", )"
            R"("otp1": 2147483647, "otp2": 1048575})");
}

}  // namespace
