#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/variant.h"

namespace FB::testing {

// A page value held in memory: named properties plus indexed elements, the
// way a page array or a plain page object looks to the plugin.
class PageObject : public JSObject {
 public:
  PageObject() : JSObject(nullptr) {}

  static std::shared_ptr<PageObject> array(const VariantList& elements) {
    auto page_array = std::make_shared<PageObject>();
    page_array->elements = elements;
    page_array->properties["length"] = static_cast<int>(elements.size());
    return page_array;
  }
  static std::shared_ptr<PageObject> object(const VariantMap& properties) {
    auto page_object = std::make_shared<PageObject>();
    page_object->properties = properties;
    return page_object;
  }

  VariantMap properties;
  VariantList elements;
  JSAPIPtr face_of;              // what getJSAPI answers
  std::string failing_property;  // reading it raises a script error
  int reads = 0;

  using JSAPI::getMemberNames;
  using JSAPI::GetProperty;
  using JSAPI::HasMethod;
  using JSAPI::HasProperty;
  using JSAPI::Invoke;
  using JSAPI::RemoveProperty;
  using JSAPI::SetProperty;

  void invalidate() override {}
  void getMemberNames(std::vector<std::string>& names) const override {
    for (const auto& property : properties) names.push_back(property.first);
  }
  std::size_t getMemberCount() const override { return properties.size(); }
  bool HasMethod(const std::string&) const override { return false; }
  bool HasProperty(const std::string& name) const override { return properties.count(name) > 0; }
  bool HasProperty(int index) const override {
    return index >= 0 && static_cast<std::size_t>(index) < elements.size();
  }
  variant GetProperty(const std::string& name) override {
    ++reads;
    if (name == failing_property) throw script_error("Cannot read " + name);
    const auto found = properties.find(name);
    return found == properties.end() ? variant() : found->second;
  }
  void SetProperty(const std::string& name, const variant& value) override {
    properties[name] = value;
  }
  variant GetProperty(int index) override {
    ++reads;
    if (std::to_string(index) == failing_property) throw script_error("Cannot read element");
    return HasProperty(index) ? elements[static_cast<std::size_t>(index)] : variant();
  }
  void SetProperty(int index, const variant& value) override {
    if (HasProperty(index)) elements[static_cast<std::size_t>(index)] = value;
  }
  void RemoveProperty(const std::string& name) override { properties.erase(name); }
  void RemoveProperty(int) override {}
  variant Invoke(const std::string& name, const VariantList&) override {
    throw invalid_member(name);
  }
  variant Construct(const VariantList&) override { throw invalid_member("constructor"); }

  bool isValid() const override { return true; }
  void InvokeAsync(const std::string&, const VariantList&) override { not_used(); }
  void _invokeAsync(const VariantList&, const std::string&) override { not_used(); }
  void SetPropertyAsync(const std::string&, const variant&) override { not_used(); }
  JSAPIPtr getJSAPI() const override { return face_of; }

 private:
  static void not_used() { throw std::logic_error("a page object in memory has no browser"); }
};

// One of the plugin's own scriptable objects, reduced to what the tests
// need: it remembers the last member name it was asked about.
class Scriptable : public JSAPI {
 public:
  mutable std::string last_name;

  using JSAPI::getMemberNames;
  using JSAPI::GetProperty;
  using JSAPI::HasMethod;
  using JSAPI::HasProperty;
  using JSAPI::Invoke;
  using JSAPI::RemoveProperty;
  using JSAPI::SetProperty;

  void invalidate() override {}
  void getMemberNames(std::vector<std::string>& names) const override {
    names.push_back("record");
    names.push_back("versi\xc3\xb3n");
  }
  std::size_t getMemberCount() const override { return 2; }
  bool HasMethod(const std::string& name) const override {
    last_name = name;
    return name == "record";
  }
  bool HasProperty(const std::string& name) const override {
    last_name = name;
    return name == "versi\xc3\xb3n";
  }
  bool HasProperty(int) const override { return false; }
  variant GetProperty(const std::string& name) override {
    last_name = name;
    return name == "versi\xc3\xb3n" ? variant("1.3.0") : variant();
  }
  void SetProperty(const std::string& name, const variant&) override { last_name = name; }
  variant GetProperty(int) override { return variant(); }
  void SetProperty(int, const variant&) override {}
  void RemoveProperty(const std::string& name) override { last_name = name; }
  void RemoveProperty(int) override {}
  variant Invoke(const std::string& name, const VariantList& arguments) override {
    last_name = name;
    return static_cast<int>(arguments.size());
  }
  variant Construct(const VariantList&) override { return variant(); }
};

}  // namespace FB::testing
