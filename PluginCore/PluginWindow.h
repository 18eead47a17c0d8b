#pragma once

#include "PluginCore/PluginEventSource.h"

namespace FB {

// The window a plug-in instance draws into, as the plug-in core sees it: a
// source of window events, the core among its sinks. The platform's window
// adapters derive from it.
class PluginWindow : public PluginEventSource {};

}  // namespace FB
