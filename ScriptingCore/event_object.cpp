#include "ScriptingCore/event_object.h"

#include "ScriptingCore/JSAPI.h"

namespace FB {

VariantMap CreateEvent(const JSAPIPtr& object, const std::string& name, const VariantMap& members,
                       const VariantList& arguments) {
  VariantMap event{
      {"type", name},     {"target", object},    {"currentTarget", object}, {"eventPhase", 2},
      {"bubbles", false}, {"cancelable", false}, {"namespaceURI", name},
  };
  event.insert(members.begin(), members.end());  // keeps entries already present
  event["arguments"] = arguments;
  return event;
}

VariantMap CreateEvent(const JSAPIPtr& object, const std::string& name, const VariantMap& members) {
  return CreateEvent(object, name, members, VariantList());
}

VariantMap CreateEvent(const JSAPIPtr& object, const std::string& name,
                       const VariantList& arguments) {
  return CreateEvent(object, name, VariantMap(), arguments);
}

}  // namespace FB
