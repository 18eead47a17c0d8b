#pragma once

#include <string>
#include <string_view>
#include <type_traits>

#include "ScriptingCore/scripting_types.h"

namespace FB {

// The system's own name of each kind a variant can hold. Error texts carry
// these names and values of different kinds sort by them, so they are fixed
// texts, whatever names this compiler gives the types. A type without a name
// here cannot be stored in a variant.
template <class T>
constexpr std::string_view type_name() {
  using std::is_same_v;
  // clang-format off
  if      constexpr (is_same_v<T, void>)                  return "v";  // nothing stored
  else if constexpr (is_same_v<T, variant_detail::empty>) return "N2FB14variant_detail5emptyE";
  else if constexpr (is_same_v<T, variant_detail::null>)  return "N2FB14variant_detail4nullE";
  else if constexpr (is_same_v<T, bool>)                  return "b";
  else if constexpr (is_same_v<T, char>)                  return "c";
  else if constexpr (is_same_v<T, signed char>)           return "a";
  else if constexpr (is_same_v<T, unsigned char>)         return "h";
  else if constexpr (is_same_v<T, short>)                 return "s";
  else if constexpr (is_same_v<T, unsigned short>)        return "t";
  else if constexpr (is_same_v<T, int>)                   return "i";
  else if constexpr (is_same_v<T, unsigned int>)          return "j";
  else if constexpr (is_same_v<T, long>)                  return "l";
  else if constexpr (is_same_v<T, unsigned long>)         return "m";
  else if constexpr (is_same_v<T, long long>)             return "x";
  else if constexpr (is_same_v<T, unsigned long long>)    return "y";
  else if constexpr (is_same_v<T, float>)                 return "f";
  else if constexpr (is_same_v<T, double>)                return "d";
  else if constexpr (is_same_v<T, std::string>)
    return "NSt3__112basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEE";
  else if constexpr (is_same_v<T, std::wstring>)
    return "NSt3__112basic_stringIwNS_11char_traitsIwEENS_9allocatorIwEEEE";
  else if constexpr (is_same_v<T, VariantList>)
    return "NSt3__16vectorIN2FB7variantENS_9allocatorIS2_EEEE";
  else if constexpr (is_same_v<T, VariantMap>)
    return "NSt3__13mapINS_12basic_stringIcNS_11char_traitsIcEENS_9allocatorIcEEEEN2FB7variantENS_4lessIS6_EENS4_INS_4pairIKS6_S8_EEEEEE";
  else if constexpr (is_same_v<T, JSAPIPtr>)             return "N5boost10shared_ptrIN2FB5JSAPIEEE";
  else if constexpr (is_same_v<T, JSAPIWeakPtr>)         return "N5boost8weak_ptrIN2FB5JSAPIEEE";
  else if constexpr (is_same_v<T, JSObjectPtr>)          return "N5boost10shared_ptrIN2FB8JSObjectEEE";
  else if constexpr (is_same_v<T, std::shared_ptr<script_error>>)
    return "N5boost10shared_ptrIN2FB12script_errorEEE";
  // The two classes themselves only ever appear as targets of a failed conversion.
  else if constexpr (is_same_v<T, JSObject>)             return "N2FB8JSObjectE";
  else if constexpr (is_same_v<T, JSAPI>)                return "N2FB5JSAPIE";
  else return {};
  // clang-format on
}

template <class T>
inline constexpr bool has_type_name = !type_name<T>().empty();

}  // namespace FB
