#include "ScriptingCore/utf8_conversion.h"

#include <iterator>

#include <utf8.h>

namespace FB {

static_assert(sizeof(wchar_t) == 4, "wide text here is UTF-32: one wchar_t per code point");

std::string wstring_to_utf8(const std::wstring& wide) {
  std::string utf8;
  utf8::utf32to8(wide.begin(), wide.end(), std::back_inserter(utf8));
  return utf8;
}

std::wstring utf8_to_wstring(const std::string& utf8) {
  std::wstring wide;
  utf8::utf8to32(utf8.begin(), utf8.end(), std::back_inserter(wide));
  return wide;
}

}  // namespace FB
