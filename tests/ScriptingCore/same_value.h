#pragma once

#include "ScriptingCore/variant.h"

namespace FB::testing {

// Variants have an order and no equality: two values are the same when
// neither sorts before the other (same kind, same value; lists and maps
// element by element; object references by the object).
inline bool same(const variant& a, const variant& b) { return !(a < b) && !(b < a); }
inline bool same(const VariantList& a, const VariantList& b) {
  return same(variant(a), variant(b));
}
inline bool same(const VariantMap& a, const VariantMap& b) { return same(variant(a), variant(b)); }

}  // namespace FB::testing
