#pragma once

#include <string>

namespace FB {

// Between UTF-8 text and wide text of one 32-bit character per code point.
// Both validate: invalid input raises utfcpp's exception (utf8::exception)
// instead of producing text.
std::string wstring_to_utf8(const std::wstring& wide);
std::wstring utf8_to_wstring(const std::string& utf8);

}  // namespace FB
