#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

// The interface of every object page script can use: the plugin's own
// scriptable objects and the handles on the page's own objects (JSObject).
// Always owned through shared references. Names are UTF-8; each wide-string
// form only converts its name and forwards to the UTF-8 form, so a derived
// class overrides the UTF-8 forms (and says `using JSAPI::Name;` to keep the
// other overloads visible).
class JSAPI : public std::enable_shared_from_this<JSAPI> {
 public:
  JSAPI() = default;
  JSAPI(const JSAPI&) = delete;
  JSAPI& operator=(const JSAPI&) = delete;
  virtual ~JSAPI() = default;

  virtual void invalidate() = 0;
  // Called by the browser host on every object it keeps alive when the
  // plugin instance goes away.
  virtual void shutdown() {}

  // Security zones: a plain JSAPI has none, every caller is in zone 0.
  virtual void pushZone(int /*zone*/) {}
  virtual void popZone() {}
  virtual void setDefaultZone(int /*zone*/) {}
  virtual int getDefaultZone() const { return 0; }
  virtual int getZone() const { return 0; }

  // Event support is for objects that have it; here it raises "Not implemented".
  virtual void registerEventMethod(const std::string& name, const JSObjectPtr& handler);
  virtual void registerEventMethod(const std::wstring& name, const JSObjectPtr& handler);
  virtual void unregisterEventMethod(const std::string& name, const JSObjectPtr& handler);
  virtual void unregisterEventMethod(const std::wstring& name, const JSObjectPtr& handler);
  virtual void registerEventInterface(const JSObjectPtr& object);
  virtual void unregisterEventInterface(const JSObjectPtr& object);

  // Member names are appended to the list given.
  virtual void getMemberNames(std::vector<std::wstring>& names) const;
  virtual void getMemberNames(std::vector<std::wstring>* names) const;
  virtual void getMemberNames(std::vector<std::string>& names) const = 0;
  virtual void getMemberNames(std::vector<std::string>* names) const;
  virtual std::size_t getMemberCount() const = 0;

  virtual bool HasMethod(const std::wstring& name) const;
  virtual bool HasMethod(const std::string& name) const = 0;
  virtual bool HasMethodObject(const std::wstring& name) const;
  virtual bool HasMethodObject(const std::string& /*name*/) const { return false; }
  virtual bool HasProperty(const std::wstring& name) const;
  virtual bool HasProperty(const std::string& name) const = 0;
  virtual bool HasProperty(int index) const = 0;

  virtual JSAPIPtr GetMethodObject(const std::wstring& name);
  virtual JSAPIPtr GetMethodObject(const std::string& /*name*/) { return nullptr; }

  virtual variant GetProperty(const std::wstring& name);
  virtual variant GetProperty(const std::string& name) = 0;
  virtual void SetProperty(const std::wstring& name, const variant& value);
  virtual void SetProperty(const std::string& name, const variant& value) = 0;
  virtual variant GetProperty(int index) = 0;
  virtual void SetProperty(int index, const variant& value) = 0;
  virtual void RemoveProperty(const std::wstring& name);
  virtual void RemoveProperty(const std::string& name) = 0;
  virtual void RemoveProperty(int index) = 0;

  virtual variant Invoke(const std::wstring& name, const VariantList& arguments);
  virtual variant Invoke(const std::string& name, const VariantList& arguments) = 0;
  virtual variant Construct(const VariantList& arguments) = 0;
};

}  // namespace FB
