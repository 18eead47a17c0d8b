#pragma once

#include <string>

#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

// The event object a page handler of FireJSEvent receives: "type",
// "target", "currentTarget", "eventPhase" (2), "bubbles", "cancelable" and
// "namespaceURI", which members never replace; then the members; last
// "arguments", which replaces a member of that name.
VariantMap CreateEvent(const JSAPIPtr& object, const std::string& name, const VariantMap& members,
                       const VariantList& arguments);
VariantMap CreateEvent(const JSAPIPtr& object, const std::string& name, const VariantMap& members);
VariantMap CreateEvent(const JSAPIPtr& object, const std::string& name,
                       const VariantList& arguments);

}  // namespace FB
