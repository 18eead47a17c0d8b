#include "ScriptingCore/proxy_arguments.h"

namespace FB::detail {
namespace {

variant proxyValue(const variant& value, const JSAPI& source, const JSAPIPtr& proxy) {
  if (const JSAPIPtr* object = value.get_if<JSAPIPtr>()) {
    return object->get() == &source ? variant(proxy) : value;
  }
  if (const VariantList* list = value.get_if<VariantList>()) {
    return proxyArguments(*list, source, proxy);
  }
  if (const VariantMap* map = value.get_if<VariantMap>()) {
    return proxyArguments(*map, source, proxy);
  }
  return value;
}

}  // namespace

VariantList proxyArguments(const VariantList& arguments, const JSAPI& source,
                           const JSAPIPtr& proxy) {
  VariantList rewritten;
  rewritten.reserve(arguments.size());
  for (const variant& value : arguments) rewritten.push_back(proxyValue(value, source, proxy));
  return rewritten;
}

VariantMap proxyArguments(const VariantMap& members, const JSAPI& source, const JSAPIPtr& proxy) {
  VariantMap rewritten;
  for (const auto& [key, value] : members) rewritten.emplace(key, proxyValue(value, source, proxy));
  return rewritten;
}

}  // namespace FB::detail
