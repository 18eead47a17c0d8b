#pragma once

#include <string>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

// A method of another scriptable object as an object of its own: what the
// page gets when it reads a method as a property. The page calls it as a
// function or through "call" and "apply"; each runs the method on the parent
// with the zone this object was made in. The parent is held weakly: a method
// object outliving it still answers its built-in members, but calling it
// fails with "Invalid JSAPI object". The adapter's own function objects have
// no parent and replace exec.
class JSFunction : public JSAPIAuto {
 public:
  JSFunction(const JSAPIWeakPtr& parent, const std::string& name, int zone);
  JSFunction(const JSAPIWeakPtr& parent, const std::wstring& name, int zone);

  using JSAPIAuto::HasMethod;
  using JSAPIAuto::HasMethodObject;
  using JSAPIAuto::HasProperty;
  using JSAPIAuto::Invoke;

  // The empty name (the object called as a function), "call" and "apply"
  // are methods; "call" and "apply" are no properties.
  bool HasMethod(const std::string& name) const override;
  // A function object offers no further function objects.
  bool HasMethodObject(const std::string& name) const override;
  bool HasProperty(const std::string& name) const override;
  variant Invoke(const std::string& name, const VariantList& arguments) override;

  // Runs the method on the parent with this object's zone pushed there.
  virtual variant exec(const VariantList& arguments);
  // The first argument is the receiver the page passes; it is dropped.
  virtual variant call(const VariantList& arguments);
  // The second argument is the page's argument array; the rest is dropped.
  virtual variant apply(const VariantList& arguments);

 protected:
  const JSAPIWeakPtr parent_;
  const std::string method_name_;
};

}  // namespace FB
