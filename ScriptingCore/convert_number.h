#pragma once

// The number rule: how a variant becomes an int, a long, a double or any
// other arithmetic type. Included by variant_conversions.h only.

#include <cmath>
#include <limits>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

#include "ScriptingCore/bad_variant_cast.h"
#include "ScriptingCore/type_names.h"
#include "ScriptingCore/utf8_conversion.h"

namespace FB {
namespace variant_detail {

template <class... Kinds>
struct kind_list {};

// Every number kind a variant may hold, in the order they are tried.
using number_kinds = kind_list<char, signed char, unsigned char, short, unsigned short, int,
                               unsigned int, long, unsigned long, long long, unsigned long long,
                               float, double>;

template <class Kind>
struct kind_tag {
  using type = Kind;
};

template <class T>
inline constexpr bool is_character = std::is_same_v<T, char> || std::is_same_v<T, signed char> ||
                                     std::is_same_v<T, unsigned char>;

// Whether the integer n is a value of T. Compares in S only, so that no
// comparison mixes signedness or is always true.
template <class T, class S>
constexpr bool integer_in_range(S n) {
  if constexpr (std::is_signed_v<S> && !std::is_signed_v<T>) {
    if (n < 0) return false;
  }
  if constexpr (std::numeric_limits<S>::digits <= std::numeric_limits<T>::digits) {
    return true;
  } else if constexpr (std::is_signed_v<S> && std::is_signed_v<T>) {
    return n >= static_cast<S>(std::numeric_limits<T>::min()) &&
           n <= static_cast<S>(std::numeric_limits<T>::max());
  } else {
    using US = std::make_unsigned_t<S>;
    return static_cast<US>(n) <= static_cast<US>(std::numeric_limits<T>::max());
  }
}

// Whether the number n, converted to T, keeps its value: integers must lie
// in T's range, a floating value must truncate to one, a double must not
// exceed a float target's range.
template <class T, class S>
bool number_fits(S n) {
  if constexpr (std::is_integral_v<T> && std::is_integral_v<S>) {
    return integer_in_range<T>(n);
  } else if constexpr (std::is_integral_v<T>) {
    if (std::isnan(n)) return false;  // no integer to truncate to
    // T's bounds are powers of two, exact in any floating type.
    const S whole = std::trunc(n);
    const S past_largest = std::ldexp(S(1), std::numeric_limits<T>::digits);
    const S smallest = std::is_signed_v<T> ? -past_largest : S(0);
    return whole >= smallest && whole < past_largest;
  } else if constexpr (std::is_floating_point_v<S> && sizeof(T) < sizeof(S)) {
    return !std::isfinite(n) || std::fabs(n) <= std::numeric_limits<T>::max();
  } else {
    return true;
  }
}

// Steps 1 and 2 of the rule: the stored number, checked against T's range;
// nothing when the variant holds no number.
template <class T, class... Kinds>
std::optional<T> stored_number(const variant& value, kind_list<Kinds...>) {
  std::optional<T> result;
  auto try_kind = [&](auto kind_tag) {
    using Kind = typename decltype(kind_tag)::type;
    const Kind* n = value.get_if<Kind>();
    if (!n) return false;
    if (!number_fits<T>(*n)) throw bad_variant_cast(value.get_type(), type_name<T>());
    result = static_cast<T>(*n);
    return true;
  };
  (try_kind(kind_tag<Kinds>{}) || ...);
  return result;
}

inline bool starts_with_minus(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\n\v\f\r");
  return first != std::string::npos && text[first] == '-';
}

// Reads the leading T of a text the way stream extraction does: blanks
// skipped, the longest prefix that reads as a T taken, the rest ignored.
template <class T>
T read_number(const std::string& text, std::string_view from) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  T number{};
  in >> number;
  bool ok = static_cast<bool>(in);
  // Extraction wraps "-5" round to a huge unsigned value; a negative text
  // is no unsigned number, as the int -5 is none either.
  if constexpr (std::is_unsigned_v<T> && !is_character<T>) {
    ok = ok && !(number != 0 && starts_with_minus(text));
  }
  if (!ok) throw bad_variant_cast(from, type_name<T>());
  return number;
}

template <class T>
struct converter<T, std::enable_if_t<std::is_arithmetic_v<T> && !std::is_same_v<T, bool>>> {
  static T convert(const variant& value) {
    if (const T* same = value.get_if<T>()) return *same;
    if (std::optional<T> number = stored_number<T>(value, number_kinds{})) return *number;
    if (const bool* flag = value.get_if<bool>()) return *flag ? T(1) : T(0);
    if (const std::string* text = value.get_if<std::string>()) {
      return read_number<T>(*text, value.get_type());
    }
    if (const std::wstring* text = value.get_if<std::wstring>()) {
      return read_number<T>(wstring_to_utf8(*text), value.get_type());
    }
    throw bad_variant_cast(value.get_type(), type_name<T>());
  }
};

}  // namespace variant_detail
}  // namespace FB
