#include "ScriptingCore/JSObject.h"

#include <limits>
#include <stdexcept>

#include "ScriptingCore/BrowserHost.h"

namespace FB {

namespace {
BrowserHostPtr hostForAsyncCall(const BrowserHostWeakPtr& host) {
  BrowserHostPtr alive = host.lock();
  if (!alive) throw std::runtime_error("Cannot invoke asynchronously");
  return alive;
}
}  // namespace

void JSObject::InvokeAsync(const std::string& method_name, const VariantList& arguments) {
  const BrowserHostPtr host = hostForAsyncCall(host_);
  JSObject* const self = this;  // kept alive by the queued call's reference
  host->ScheduleOnMainThread(shared_from_this(), [self, arguments, method_name] {
    self->_invokeAsync(arguments, method_name);
  });
}

void JSObject::_invokeAsync(const VariantList& arguments, const std::string& method_name) {
  if (const BrowserHostPtr host = host_.lock()) {
    host->delayedInvoke(0, shared_from_this(), arguments, method_name);
  }
}

void JSObject::SetPropertyAsync(const std::string& name, const variant& value) {
  const BrowserHostPtr host = hostForAsyncCall(host_);
  JSObject* const self = this;
  host->ScheduleOnMainThread(shared_from_this(),
                             [self, name, value] { self->SetProperty(name, value); });
}

void JSObject::GetArrayValues(const JSObjectPtr& source, VariantList& values) {
  if (!source) return;
  const variant length_value = source->GetProperty("length");
  const long length = length_value.convert_cast<long>();
  // Elements are read by int index; a longer array cannot be walked, and
  // would not have passed the conversion where long has 32 bits.
  if (length > std::numeric_limits<int>::max()) {
    throw bad_variant_cast(length_value.get_type(), type_name<long>());
  }
  for (int index = 0; index < length; ++index) values.push_back(source->GetProperty(index));
}

void JSObject::GetArrayValues(const JSObjectPtr& source, std::vector<JSObjectPtr>& objects) {
  VariantList values;
  GetArrayValues(source, values);
  for (const variant& value : values) objects.push_back(value.convert_cast<JSObjectPtr>());
}

void JSObject::GetObjectValues(const JSObjectPtr& source, VariantMap& values) {
  if (!source) return;
  std::vector<std::string> names;
  source->getMemberNames(names);
  for (const std::string& name : names) values.emplace(name, source->GetProperty(name));
}

}  // namespace FB
