#include <gtest/gtest.h>

#include <string>

#include <utf8.h>

#include "ScriptingCore/utf8_conversion.h"
#include "ScriptingCore/variant.h"

namespace {

TEST(Utf8Conversion, RoundTripsEveryPlane) {
  const std::wstring wide = L"a\u00e9\u20ac\U0001D11E";
  const std::string utf8 = "a\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e";
  EXPECT_EQ(FB::wstring_to_utf8(wide), utf8);
  EXPECT_EQ(FB::utf8_to_wstring(utf8), wide);
  EXPECT_EQ(FB::utf8_to_wstring(""), L"");
}

class InvalidUtf8 : public ::testing::TestWithParam<std::string> {};

TEST_P(InvalidUtf8, RaisesUtfcppException) {
  EXPECT_THROW(FB::utf8_to_wstring(GetParam()), utf8::exception);
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidUtf8,
                         ::testing::Values(std::string("\xff"), std::string("ab\x80"),
                                           std::string("\xe2\x82"),          // cut short
                                           std::string("\xc0\xaf"),          // overlong '/'
                                           std::string("\xed\xa0\x80"),      // a surrogate
                                           std::string("\xf4\x90\x80\x80")));  // past U+10FFFF

class InvalidWide : public ::testing::TestWithParam<wchar_t> {};

TEST_P(InvalidWide, RaisesUtfcppException) {
  EXPECT_THROW(FB::wstring_to_utf8(std::wstring(L"ok") + GetParam()), utf8::exception);
}

INSTANTIATE_TEST_SUITE_P(Characters, InvalidWide,
                         ::testing::Values(static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0xDFFF),
                                           static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1)));

// Conversions that go through UTF-8 pass the error on rather than guess.
TEST(Utf8Conversion, InvalidWideTextFailsConversions) {
  const FB::variant bad(std::wstring(1, static_cast<wchar_t>(0xD800)));
  EXPECT_THROW(bad.convert_cast<std::string>(), utf8::exception);
  EXPECT_THROW(bad.convert_cast<int>(), utf8::exception);
  EXPECT_FALSE(bad.can_be_type<std::string>());
}

}  // namespace
