#pragma once

#include <memory>
#include <string>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/make_method.h"
#include "ScriptingCore/variant.h"

namespace FB::testing {

// A member-registry object shaped like the capture plugin's: a method that
// takes whatever it is given, typed methods, read-only and read-write
// properties.
class RegistryObject : public JSAPIAuto {
 public:
  explicit RegistryObject(int zone = 0) : JSAPIAuto(zone, "<JSAPI-Auto Javascript Object>") {
    registerMethod("record", [this](const VariantList& arguments) {
      last_arguments = arguments;
      ++record_calls;
      return variant();
    });
    registerMethod("strict", make_method(this, &RegistryObject::strict));
    registerMethod("fail", make_method(this, &RegistryObject::fail));
    registerMethod("zoneNow", make_method(this, &RegistryObject::zoneNow));
    registerProperty("version", make_property(this, &RegistryObject::version));
    registerProperty("level",
                     make_property(this, &RegistryObject::getLevel, &RegistryObject::setLevel));
  }

  VariantList last_arguments;
  int record_calls = 0;
  int level = 1;

  using JSAPIAuto::allow_dynamic_attributes_;
  using JSAPIAuto::allow_method_objects_;
  using JSAPIAuto::allow_remove_properties_;

 private:
  // Reads its argument itself, so a wrong kind escapes as bad_variant_cast.
  int strict(const variant& value) { return value.cast<int>(); }
  void fail() { throw script_error("failed on purpose"); }
  int zoneNow() const { return getZone(); }
  std::string version() const { return "1.3.0"; }
  int getLevel() const { return level; }
  void setLevel(int new_level) { level = new_level; }
};

}  // namespace FB::testing
