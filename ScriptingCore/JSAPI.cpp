#include "ScriptingCore/JSAPI.h"

#include "ScriptingCore/script_error.h"
#include "ScriptingCore/utf8_conversion.h"

namespace FB {

void JSAPI::registerEventMethod(const std::string&, const JSObjectPtr&) {
  throw script_error("Not implemented");
}

void JSAPI::registerEventMethod(const std::wstring& name, const JSObjectPtr& handler) {
  registerEventMethod(wstring_to_utf8(name), handler);
}

void JSAPI::unregisterEventMethod(const std::string&, const JSObjectPtr&) {
  throw script_error("Not implemented");
}

void JSAPI::unregisterEventMethod(const std::wstring& name, const JSObjectPtr& handler) {
  unregisterEventMethod(wstring_to_utf8(name), handler);
}

void JSAPI::registerEventInterface(const JSObjectPtr&) { throw script_error("Not implemented"); }

void JSAPI::unregisterEventInterface(const JSObjectPtr&) { throw script_error("Not implemented"); }

void JSAPI::getMemberNames(std::vector<std::wstring>& names) const {
  std::vector<std::string> utf8_names;
  getMemberNames(utf8_names);
  for (const std::string& name : utf8_names) names.push_back(utf8_to_wstring(name));
}

void JSAPI::getMemberNames(std::vector<std::wstring>* names) const {
  if (names) getMemberNames(*names);
}

void JSAPI::getMemberNames(std::vector<std::string>* names) const {
  if (names) getMemberNames(*names);
}

bool JSAPI::HasMethod(const std::wstring& name) const { return HasMethod(wstring_to_utf8(name)); }

bool JSAPI::HasMethodObject(const std::wstring& name) const {
  return HasMethodObject(wstring_to_utf8(name));
}

bool JSAPI::HasProperty(const std::wstring& name) const { return HasProperty(wstring_to_utf8(name)); }

JSAPIPtr JSAPI::GetMethodObject(const std::wstring& name) {
  return GetMethodObject(wstring_to_utf8(name));
}

variant JSAPI::GetProperty(const std::wstring& name) { return GetProperty(wstring_to_utf8(name)); }

void JSAPI::SetProperty(const std::wstring& name, const variant& value) {
  SetProperty(wstring_to_utf8(name), value);
}

void JSAPI::RemoveProperty(const std::wstring& name) { RemoveProperty(wstring_to_utf8(name)); }

variant JSAPI::Invoke(const std::wstring& name, const VariantList& arguments) {
  return Invoke(wstring_to_utf8(name), arguments);
}

}  // namespace FB
