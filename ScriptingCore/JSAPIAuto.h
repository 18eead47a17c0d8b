#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ScriptingCore/JSAPIImpl.h"
#include "ScriptingCore/MethodFunctors.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

class JSFunction;
using JSFunctionPtr = std::shared_ptr<JSFunction>;

// A scriptable object filled with members by name: methods, properties and
// stored attributes, each visible from the zone that was current when it was
// registered upwards. Every object carries the members "toString",
// "getAttribute", "setAttribute", "value" and "valid".
//
// Guard: the zone lock of JSAPIImpl protects every table below. Each member
// operation holds it from start to end, the method, getter or setter it
// runs included, so another thread's member call or zone push on this
// object waits until that returns; registration and the attribute
// operations hold it too. Firing takes it only to read the attribute named
// after the event (see JSAPIImpl for the lock order).
class JSAPIAuto : public JSAPIImpl {
 public:
  explicit JSAPIAuto(const std::string& description = "<JSAPI-Auto Javascript Object>");
  JSAPIAuto(int zone, const std::string& description);

  using JSAPI::getMemberNames;
  using JSAPI::GetMethodObject;
  using JSAPI::GetProperty;
  using JSAPI::HasMethod;
  using JSAPI::HasMethodObject;
  using JSAPI::HasProperty;
  using JSAPI::Invoke;
  using JSAPI::RemoveProperty;
  using JSAPI::SetProperty;

  // Replaces the list with the names visible from the current zone, sorted.
  void getMemberNames(std::vector<std::string>& names) const override;
  std::size_t getMemberCount() const override;
  bool HasMethod(const std::string& name) const override;
  bool HasMethodObject(const std::string& name) const override;
  bool HasProperty(const std::string& name) const override;
  bool HasProperty(int index) const override;
  // One function object per method and zone, kept for later requests.
  JSAPIPtr GetMethodObject(const std::string& name) override;
  variant GetProperty(const std::string& name) override;
  void SetProperty(const std::string& name, const variant& value) override;
  variant GetProperty(int index) override;
  void SetProperty(int index, const variant& value) override;
  void RemoveProperty(const std::string& name) override;
  void RemoveProperty(int index) override;
  variant Invoke(const std::string& name, const VariantList& arguments) override;
  variant Construct(const VariantList& arguments) override;

  // Besides the registered handlers, a page object stored in the attribute
  // named after the event (a page that assigned "ontimeout") is called.
  void fireAsyncEvent(const std::string& name, const VariantList& arguments) override;
  using JSAPIImpl::FireJSEvent;
  void FireJSEvent(const std::string& name, const VariantMap& members,
                   const VariantList& arguments) override;

  virtual void registerAttribute(const std::string& name, const variant& value, bool read_only);
  // A reserved name never becomes a dynamic attribute by being asked for.
  virtual void setReserved(const std::string& name);
  virtual void unregisterMethod(const std::wstring& name);
  virtual void unregisterMethod(const std::string& name);
  virtual void registerMethod(const std::wstring& name, const CallMethodFunctor& call);
  virtual void registerMethod(const std::string& name, const CallMethodFunctor& call);
  virtual void registerProperty(const std::wstring& name, const PropertyFunctors& property);
  virtual void registerProperty(const std::string& name, const PropertyFunctors& property);
  virtual void unregisterProperty(const std::wstring& name);
  virtual void unregisterProperty(const std::string& name);
  virtual std::string ToString() const;
  virtual bool get_valid() const;
  // The attribute's value, or the empty marker when there is none.
  virtual variant getAttribute(const std::string& name) const;
  virtual void setAttribute(const std::string& name, const variant& value);
  virtual void unregisterAttribute(const std::string& name);

 protected:
  static constexpr bool default_allow_dynamic_attributes = true;
  static constexpr bool default_allow_remove_properties = false;
  static constexpr bool default_allow_method_objects = true;

  // Set by a derived class's constructor; read under the zone lock.
  bool allow_dynamic_attributes_ = default_allow_dynamic_attributes;
  bool allow_remove_properties_ = default_allow_remove_properties;
  bool allow_method_objects_ = default_allow_method_objects;
  std::set<std::string> reserved_;

 private:
  struct Attribute {
    variant value;
    bool read_only;
  };

  // All of these expect the zone lock held.
  bool isAccessible(const std::string& name) const;
  bool isMethod(const std::string& name) const { return methods_.count(name) != 0; }
  bool isProperty(const std::string& name) const { return properties_.count(name) != 0; }
  const Attribute* findAttribute(const std::string& name) const;
  void forgetUnusedZone(const std::string& name);
  void checkValid() const;
  // A page assignment of a name that is no property.
  void assignAttribute(const std::string& name, const variant& value);
  // The page object to call when the event of that name fires, if any.
  JSObjectPtr attributeHandler(const std::string& name) const;
  void registerBuiltIns();

  const std::string description_;
  std::map<std::string, MethodFunctors> methods_;
  std::map<std::string, PropertyFunctors> properties_;
  std::map<std::string, Attribute> attributes_;
  std::map<std::string, int> zones_;
  std::map<std::pair<std::string, int>, JSFunctionPtr> method_objects_;
};

}  // namespace FB
