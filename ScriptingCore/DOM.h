#pragma once

#include <memory>
#include <string>

#include "ScriptingCore/BrowserHost.h"
#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

// Convenience wrappers over the page's own objects. Each holds the script
// object it was made from; everything they do goes through that object, on
// the browser's main thread.
namespace FB::DOM {

class Node {
 public:
  explicit Node(JSObjectPtr object);
  virtual ~Node() = default;

  const JSObjectPtr& getJSObject() const { return object_; }

  // The property read by the variant conversion to T.
  template <class T>
  T getProperty(const std::string& name) const {
    return object_->GetProperty(name).convert_cast<T>();
  }
  void setProperty(const std::string& name, const variant& value) const;
  variant callMethod(const std::string& name, const VariantList& arguments) const;

 private:
  JSObjectPtr object_;
};

class Element : public Node {
 public:
  using Node::Node;
};

class Document : public Node {
 public:
  using Node::Node;
};

class Window : public Node {
 public:
  using Node::Node;

  // A new, empty page array: the window's "Array" called with nothing.
  JSObjectPtr createArray() const;
  // A new, empty page object: the window's "Object" called with nothing.
  JSObjectPtr createMap() const;
};

}  // namespace FB::DOM
