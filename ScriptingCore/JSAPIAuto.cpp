#include "ScriptingCore/JSAPIAuto.h"

#include <mutex>

#include "ScriptingCore/JSFunction.h"
#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/delivery_failures.h"
#include "ScriptingCore/event_object.h"
#include "ScriptingCore/make_method.h"
#include "ScriptingCore/scoped_zonelock.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/utf8_conversion.h"

namespace FB {
namespace {

using ZoneGuard = std::lock_guard<std::recursive_mutex>;

// Names the browser asks every plugin object about; answering them with
// dynamic attributes would confuse its layout and wrapping code.
const char* const kReservedNames[] = {
    "offsetWidth", "offsetHeight", "width",       "height",          "attributes",
    "nodeType",    "namespaceURI", "localName",   "wrappedJSObject", "prototype",
    "style",       "id",           "constructor", "nodeName",
};

variant emptyMarker() { return variant(variant_detail::empty()); }

invalid_arguments conversionFailure(const bad_variant_cast& failure) {
  return invalid_arguments("Could not convert from " + failure.from() + " to " + failure.to());
}

}  // namespace

JSAPIAuto::JSAPIAuto(const std::string& description) : JSAPIAuto(0, description) {}

JSAPIAuto::JSAPIAuto(int zone, const std::string& description)
    : JSAPIImpl(zone), description_(description) {
  registerBuiltIns();
}

void JSAPIAuto::registerBuiltIns() {
  scoped_zonelock public_zone(this, 0);
  registerMethod("toString", make_method(this, &JSAPIAuto::ToString));
  registerMethod("getAttribute", make_method(this, &JSAPIAuto::getAttribute));
  registerMethod("setAttribute", make_method(this, &JSAPIAuto::setAttribute));
  registerProperty("value", make_property(this, &JSAPIAuto::ToString));
  registerProperty("valid", make_property(this, &JSAPIAuto::get_valid));
  for (const char* name : kReservedNames) setReserved(name);
}

// ---- registration ----

void JSAPIAuto::registerMethod(const std::wstring& name, const CallMethodFunctor& call) {
  registerMethod(wstring_to_utf8(name), call);
}

void JSAPIAuto::registerMethod(const std::string& name, const CallMethodFunctor& call) {
  ZoneGuard lock(zone_lock_);
  methods_[name] = MethodFunctors(call);
  zones_[name] = getZone();
}

void JSAPIAuto::unregisterMethod(const std::wstring& name) {
  unregisterMethod(wstring_to_utf8(name));
}

void JSAPIAuto::unregisterMethod(const std::string& name) {
  ZoneGuard lock(zone_lock_);
  if (methods_.erase(name) != 0) forgetUnusedZone(name);
}

void JSAPIAuto::registerProperty(const std::wstring& name, const PropertyFunctors& property) {
  registerProperty(wstring_to_utf8(name), property);
}

void JSAPIAuto::registerProperty(const std::string& name, const PropertyFunctors& property) {
  ZoneGuard lock(zone_lock_);
  properties_[name] = property;
  zones_[name] = getZone();
}

void JSAPIAuto::unregisterProperty(const std::wstring& name) {
  unregisterProperty(wstring_to_utf8(name));
}

void JSAPIAuto::unregisterProperty(const std::string& name) {
  ZoneGuard lock(zone_lock_);
  if (properties_.erase(name) != 0) forgetUnusedZone(name);
}

void JSAPIAuto::registerAttribute(const std::string& name, const variant& value, bool read_only) {
  ZoneGuard lock(zone_lock_);
  attributes_[name] = Attribute{value, read_only};
  zones_[name] = getZone();
}

void JSAPIAuto::setReserved(const std::string& name) {
  ZoneGuard lock(zone_lock_);
  reserved_.insert(name);
}

variant JSAPIAuto::getAttribute(const std::string& name) const {
  ZoneGuard lock(zone_lock_);
  const Attribute* attribute = findAttribute(name);
  return attribute ? attribute->value : emptyMarker();
}

void JSAPIAuto::setAttribute(const std::string& name, const variant& value) {
  ZoneGuard lock(zone_lock_);
  const Attribute* attribute = findAttribute(name);
  if (attribute && attribute->read_only) {
    throw script_error("Cannot set read-only property " + name);
  }
  registerAttribute(name, value, false);
}

void JSAPIAuto::unregisterAttribute(const std::string& name) {
  ZoneGuard lock(zone_lock_);
  const Attribute* attribute = findAttribute(name);
  if (!attribute) return;
  if (attribute->read_only) throw script_error("Cannot remove read-only property " + name);
  attributes_.erase(name);
  forgetUnusedZone(name);
}

std::string JSAPIAuto::ToString() const { return description_; }

bool JSAPIAuto::get_valid() const { return true; }

// ---- helpers, zone lock held ----

bool JSAPIAuto::isAccessible(const std::string& name) const {
  const auto zone = zones_.find(name);
  return zone != zones_.end() && getZone() >= zone->second;
}

const JSAPIAuto::Attribute* JSAPIAuto::findAttribute(const std::string& name) const {
  const auto found = attributes_.find(name);
  return found == attributes_.end() ? nullptr : &found->second;
}

void JSAPIAuto::forgetUnusedZone(const std::string& name) {
  // A method, a property and an attribute may share a name, and with it a
  // zone; removing one must not hide the others.
  if (!isMethod(name) && !isProperty(name) && !findAttribute(name)) zones_.erase(name);
}

void JSAPIAuto::checkValid() const {
  if (!isValid()) throw object_invalidated();
}

void JSAPIAuto::assignAttribute(const std::string& name, const variant& value) {
  // A name registered above the current zone is not the page's to
  // replace: storing it would also lower its zone and expose it.
  if (zones_.count(name) != 0 && !isAccessible(name)) throw invalid_member(name);
  const Attribute* existing = findAttribute(name);
  if (!allow_dynamic_attributes_ && (!existing || existing->read_only)) throw invalid_member(name);
  if (existing && existing->read_only) throw script_error("Cannot set read-only property " + name);
  registerAttribute(name, value, false);
}

// ---- member operations ----

void JSAPIAuto::getMemberNames(std::vector<std::string>& names) const {
  ZoneGuard lock(zone_lock_);
  names.clear();
  const int zone = getZone();
  for (const auto& [name, member_zone] : zones_) {
    if (member_zone <= zone) names.push_back(name);
  }
}

std::size_t JSAPIAuto::getMemberCount() const {
  ZoneGuard lock(zone_lock_);
  const int zone = getZone();
  std::size_t count = 0;
  for (const auto& entry : zones_) count += entry.second <= zone ? 1 : 0;
  return count;
}

bool JSAPIAuto::HasMethod(const std::string& name) const {
  ZoneGuard lock(zone_lock_);
  return isValid() && isMethod(name) && isAccessible(name);
}

bool JSAPIAuto::HasMethodObject(const std::string& name) const {
  ZoneGuard lock(zone_lock_);
  return allow_method_objects_ && HasMethod(name);
}

bool JSAPIAuto::HasProperty(const std::string& name) const {
  ZoneGuard lock(zone_lock_);
  if (!isValid()) return false;
  if (allow_dynamic_attributes_ && !isMethod(name) && reserved_.count(name) == 0) return true;
  if (allow_method_objects_ && isMethod(name) && isAccessible(name)) return true;
  return isProperty(name) || findAttribute(name) != nullptr;
}

bool JSAPIAuto::HasProperty(int index) const {
  ZoneGuard lock(zone_lock_);
  if (!isValid()) return false;
  return allow_dynamic_attributes_ || findAttribute(std::to_string(index)) != nullptr;
}

JSAPIPtr JSAPIAuto::GetMethodObject(const std::string& name) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  if (!isAccessible(name) || !HasMethod(name)) throw invalid_member(name);
  const int zone = getZone();
  JSFunctionPtr& cached = method_objects_[{name, zone}];
  if (!cached) cached = std::make_shared<JSFunction>(weak_from_this(), name, zone);
  return cached;
}

variant JSAPIAuto::GetProperty(const std::string& name) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  const bool accessible = isAccessible(name);
  if (accessible && isProperty(name)) return properties_.at(name).get();
  if (accessible) {
    if (HasMethodObject(name)) return variant(GetMethodObject(name));
    if (const Attribute* attribute = findAttribute(name)) return attribute->value;
  }
  if (allow_dynamic_attributes_) return emptyMarker();
  throw invalid_member(name);
}

void JSAPIAuto::SetProperty(const std::string& name, const variant& value) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  if (!isProperty(name)) {
    assignAttribute(name, value);
    return;
  }
  if (!isAccessible(name)) throw invalid_member(name);
  try {
    properties_.at(name).set(value);
  } catch (const bad_variant_cast& failure) {
    throw conversionFailure(failure);
  }
}

variant JSAPIAuto::GetProperty(int index) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  const std::string name = std::to_string(index);
  const Attribute* attribute = findAttribute(name);
  if (attribute && isAccessible(name)) return attribute->value;
  if (allow_dynamic_attributes_) return emptyMarker();
  throw invalid_member(name);
}

void JSAPIAuto::SetProperty(int index, const variant& value) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  assignAttribute(std::to_string(index), value);
}

void JSAPIAuto::RemoveProperty(const std::string& name) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  if (!isAccessible(name)) throw invalid_member(name);
  if (allow_remove_properties_ && isProperty(name)) {
    unregisterProperty(name);
    return;
  }
  const Attribute* attribute = findAttribute(name);
  if (allow_dynamic_attributes_ && attribute && !attribute->read_only) unregisterAttribute(name);
}

void JSAPIAuto::RemoveProperty(int index) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  const std::string name = std::to_string(index);
  const Attribute* attribute = findAttribute(name);
  if (!allow_dynamic_attributes_ || !attribute || attribute->read_only || !isAccessible(name)) {
    throw invalid_member(name);
  }
  unregisterAttribute(name);
}

variant JSAPIAuto::Invoke(const std::string& name, const VariantList& arguments) {
  ZoneGuard lock(zone_lock_);
  checkValid();
  if (!isAccessible(name) || !isMethod(name)) throw invalid_member(name);
  try {
    return methods_.at(name).call(arguments);
  } catch (const bad_variant_cast& failure) {
    throw conversionFailure(failure);
  }
}

variant JSAPIAuto::Construct(const VariantList&) {
  checkValid();
  throw invalid_member("constructor");
}

// ---- events ----

JSObjectPtr JSAPIAuto::attributeHandler(const std::string& name) const {
  ZoneGuard lock(zone_lock_);
  const Attribute* attribute = findAttribute(name);
  if (!attribute) return nullptr;
  const JSObjectPtr* handler = attribute->value.get_if<JSObjectPtr>();
  return handler ? *handler : nullptr;
}

void JSAPIAuto::fireAsyncEvent(const std::string& name, const VariantList& arguments) {
  detail::DeliveryFailures failures;
  failures.attempt([&] { JSAPIImpl::fireAsyncEvent(name, arguments); });
  const JSObjectPtr handler = attributeHandler(name);
  if (handler && handler->isValid()) failures.attempt([&] { handler->InvokeAsync("", arguments); });
  failures.rethrowFirst();
}

void JSAPIAuto::FireJSEvent(const std::string& name, const VariantMap& members,
                            const VariantList& arguments) {
  // A proxy chain back to this object is answered by the outer call.
  if (!isValid() || isForwardingOnThisThread()) return;
  detail::DeliveryFailures failures;
  failures.attempt([&] { JSAPIImpl::FireJSEvent(name, members, arguments); });
  const JSObjectPtr handler = attributeHandler(name);
  if (handler && handler->isValid()) {
    const VariantList event{CreateEvent(weak_from_this().lock(), name, members, arguments)};
    failures.attempt([&] { handler->InvokeAsync("", event); });
  }
  try {
    failures.rethrowFirst();
  } catch (const script_error&) {
    // Page-side failures stay on the page side, as in JSAPIImpl.
  }
}

}  // namespace FB
