#pragma once

#include "ScriptingCore/JSAPI.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB::detail {

// The values a proxy re-fires an event with: every reference to source,
// also inside lists and maps at any depth, becomes a reference to proxy;
// everything else is copied.
VariantList proxyArguments(const VariantList& arguments, const JSAPI& source,
                           const JSAPIPtr& proxy);
VariantMap proxyArguments(const VariantMap& members, const JSAPI& source, const JSAPIPtr& proxy);

}  // namespace FB::detail
