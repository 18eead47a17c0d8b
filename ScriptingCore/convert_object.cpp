// Conversions to page objects, scriptable objects, lists and maps.

#include <memory>

#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/variant.h"

namespace FB {
namespace variant_detail {
namespace {

// The scriptable object a value refers to; empty for the kinds that mean
// no value and for an object that is gone.
JSAPIPtr referenced_object(const variant& value) {
  if (const JSObjectPtr* object = value.get_if<JSObjectPtr>()) return *object;
  if (const JSAPIWeakPtr* weak = value.get_if<JSAPIWeakPtr>()) return weak->lock();
  if (value.empty() || value.is_null()) return nullptr;
  if (const JSAPIPtr* api = value.get_if<JSAPIPtr>()) return *api;
  throw bad_variant_cast(value.get_type(), type_name<JSAPIPtr>());
}

// The page object behind a value that is no list or map itself.
JSObjectPtr readable_object(const variant& value) {
  if (!value.can_be_type<JSObjectPtr>()) {
    throw bad_variant_cast(value.get_type(), type_name<JSObjectPtr>());
  }
  return value.convert_cast<JSObjectPtr>();
}

}  // namespace

JSObjectPtr converter<JSObjectPtr>::convert(const variant& value) {
  const JSAPIPtr api = referenced_object(value);
  if (!api) return nullptr;
  if (const auto object = std::dynamic_pointer_cast<JSObject>(api)) {
    if (auto inner = std::dynamic_pointer_cast<JSObject>(object->getJSAPI())) return inner;
    return object;
  }
  throw bad_variant_cast(value.get_type(), type_name<JSObject>());
}

JSAPIPtr converter<JSAPIPtr>::convert(const variant& value) {
  JSAPIPtr api = referenced_object(value);
  if (const auto object = std::dynamic_pointer_cast<JSObject>(api)) {
    if (JSAPIPtr inner = object->getJSAPI()) return inner;
  }
  return api;
}

VariantList converter<VariantList>::convert(const variant& value) {
  if (const VariantList* list = value.get_if<VariantList>()) return *list;
  VariantList list;
  JSObject::GetArrayValues(readable_object(value), list);
  return list;
}

VariantMap converter<VariantMap>::convert(const variant& value) {
  if (const VariantMap* map = value.get_if<VariantMap>()) return *map;
  VariantMap map;
  JSObject::GetObjectValues(readable_object(value), map);
  return map;
}

}  // namespace variant_detail
}  // namespace FB
