#include "ScriptingCore/DOM.h"

#include <stdexcept>
#include <utility>

namespace FB::DOM {

Node::Node(JSObjectPtr object) : object_(std::move(object)) {
  if (!object_) throw std::invalid_argument("A page wrapper needs a page object");
}

void Node::setProperty(const std::string& name, const variant& value) const {
  object_->SetProperty(name, value);
}

variant Node::callMethod(const std::string& name, const VariantList& arguments) const {
  return object_->Invoke(name, arguments);
}

JSObjectPtr Window::createArray() const {
  return callMethod("Array", VariantList()).convert_cast<JSObjectPtr>();
}

JSObjectPtr Window::createMap() const {
  return callMethod("Object", VariantList()).convert_cast<JSObjectPtr>();
}

}  // namespace FB::DOM
