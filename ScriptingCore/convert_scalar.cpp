// Conversions to bool, to the tri-state boolean and to UTF-8 text.

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <initializer_list>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "ScriptingCore/utf8_conversion.h"
#include "ScriptingCore/variant.h"

namespace FB {
namespace variant_detail {
namespace {

char lowered(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
wchar_t lowered(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

template <class Char>
bool is_true_word(const std::basic_string<Char>& text) {
  std::basic_string<Char> lower(text);
  for (Char& c : lower) c = lowered(c);
  for (std::string_view word : {"y", "1", "yes", "true", "t"}) {
    if (std::equal(lower.begin(), lower.end(), word.begin(), word.end())) return true;
  }
  return false;
}

template <class Number>
std::string write_number(Number number) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << number;  // a char kind writes the one character it holds
  if (!out) throw bad_variant_cast(type_name<Number>(), type_name<std::string>());
  return out.str();
}

// The text of the first of the kinds that the variant holds.
template <class... Kinds>
std::optional<std::string> written_number(const variant& value, kind_list<Kinds...>) {
  std::optional<std::string> text;
  auto try_kind = [&](auto kind_tag) {
    using Kind = typename decltype(kind_tag)::type;
    const Kind* n = value.get_if<Kind>();
    if (n) text = write_number(*n);
    return n != nullptr;
  };
  (try_kind(kind_tag<Kinds>{}) || ...);
  return text;
}

}  // namespace

bool converter<bool>::convert(const variant& value) {
  if (const bool* flag = value.get_if<bool>()) return *flag;
  if (const std::string* text = value.get_if<std::string>()) return is_true_word(*text);
  if (const std::wstring* text = value.get_if<std::wstring>()) return is_true_word(*text);
  return value.convert_cast<long>() != 0;
}

std::optional<bool> converter<std::optional<bool>>::convert(const variant& value) {
  if (value.empty() || value.is_null()) return std::nullopt;
  return value.convert_cast<bool>();
}

std::string converter<std::string>::convert(const variant& value) {
  if (const std::string* text = value.get_if<std::string>()) return *text;
  if (auto text = written_number(value, kind_list<double, float, int, unsigned int>{})) return *text;
  if (const bool* flag = value.get_if<bool>()) return *flag ? "true" : "false";
  if (const std::wstring* text = value.get_if<std::wstring>()) return wstring_to_utf8(*text);
  using later_numbers = kind_list<long, unsigned long, short, unsigned short, char, signed char,
                                  unsigned char, long long, unsigned long long>;
  if (auto text = written_number(value, later_numbers{})) return *text;
  throw bad_variant_cast(value.get_type(), type_name<std::string>());
}

}  // namespace variant_detail
}  // namespace FB
