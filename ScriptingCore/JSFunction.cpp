#include "ScriptingCore/JSFunction.h"

#include <mutex>

#include "ScriptingCore/scoped_zonelock.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/utf8_conversion.h"

namespace FB {

JSFunction::JSFunction(const JSAPIWeakPtr& parent, const std::string& name, int zone)
    : JSAPIAuto(zone, name + "()"), parent_(parent), method_name_(name) {
  std::lock_guard<std::recursive_mutex> lock(zone_lock_);
  allow_method_objects_ = false;
  // Any name may become a dynamic attribute of a function object.
  reserved_.clear();
}

JSFunction::JSFunction(const JSAPIWeakPtr& parent, const std::wstring& name, int zone)
    : JSFunction(parent, wstring_to_utf8(name), zone) {}

bool JSFunction::HasMethod(const std::string& name) const {
  return name.empty() || name == "call" || name == "apply" || JSAPIAuto::HasMethod(name);
}

bool JSFunction::HasMethodObject(const std::string&) const { return false; }

bool JSFunction::HasProperty(const std::string& name) const {
  return name != "call" && name != "apply" && JSAPIAuto::HasProperty(name);
}

variant JSFunction::Invoke(const std::string& name, const VariantList& arguments) {
  if (!isValid()) throw object_invalidated();
  if (name.empty()) return exec(arguments);
  if (name == "call") return call(arguments);
  if (name == "apply") return apply(arguments);
  return JSAPIAuto::Invoke(name, arguments);
}

variant JSFunction::exec(const VariantList& arguments) {
  const JSAPIPtr parent = parent_.lock();
  if (!parent) throw script_error("Invalid JSAPI object");
  // Looked up and run with the rights this object was made with, whatever
  // zone the parent is in now.
  scoped_zonelock zone(parent, getZone());
  return parent->Invoke(method_name_, arguments);
}

variant JSFunction::call(const VariantList& arguments) {
  if (arguments.empty()) return exec(VariantList());
  return exec(VariantList(arguments.begin() + 1, arguments.end()));
}

variant JSFunction::apply(const VariantList& arguments) {
  if (arguments.size() < 2) return exec(VariantList());
  return exec(arguments[1].convert_cast<VariantList>());
}

}  // namespace FB
