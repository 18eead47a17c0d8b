#pragma once

// convert_cast<T>: one converter per target family, each holding its rule's
// steps in order. Included at the end of variant.h; include that instead.

#include <optional>
#include <string>

#include "ScriptingCore/convert_number.h"
#include "ScriptingCore/scripting_types.h"

namespace FB {
namespace variant_detail {

// The value itself, unchanged.
template <>
struct converter<variant> {
  static variant convert(const variant& value) { return value; }
};

// Targets that take no value never fail.
template <class T>
struct converter<T, std::enable_if_t<std::is_void_v<T> || std::is_same_v<T, empty> ||
                                     std::is_same_v<T, null>>> {
  static T convert(const variant&) { return T(); }
};

// The boolean words and, failing those, the number rule through long.
template <>
struct converter<bool> {
  static bool convert(const variant& value);
};

// Indeterminate for no value, empty or null; otherwise as bool.
template <>
struct converter<std::optional<bool>> {
  static std::optional<bool> convert(const variant& value);
};

// UTF-8 text; numbers written by stream output with default settings.
template <>
struct converter<std::string> {
  static std::string convert(const variant& value);
};

// A page object; an object the page gave back in place of one of the
// plugin's own scriptable objects is handed back as that object.
template <>
struct converter<JSObjectPtr> {
  static JSObjectPtr convert(const variant& value);
};

template <>
struct converter<JSAPIPtr> {
  static JSAPIPtr convert(const variant& value);
};

// A list as it is, or a page array read element by element.
template <>
struct converter<VariantList> {
  static VariantList convert(const variant& value);
};

// A map as it is, or a page object read member by member.
template <>
struct converter<VariantMap> {
  static VariantMap convert(const variant& value);
};

}  // namespace variant_detail
}  // namespace FB
