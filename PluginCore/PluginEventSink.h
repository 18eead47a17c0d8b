#pragma once

#include <memory>

namespace FB {

class PluginEvent;
class PluginEventSource;

// Receives events from the sources it is attached to. Always owned through
// shared references: sources hold sinks weakly and reach them through them.
class PluginEventSink : public std::enable_shared_from_this<PluginEventSink> {
 public:
  PluginEventSink() = default;
  PluginEventSink(const PluginEventSink&) = delete;
  PluginEventSink& operator=(const PluginEventSink&) = delete;
  virtual ~PluginEventSink() = default;

  // True when the sink has handled the event, which ends its delivery.
  virtual bool HandleEvent(PluginEvent* event, PluginEventSource* source) = 0;
};

using PluginEventSinkPtr = std::shared_ptr<PluginEventSink>;
using PluginEventSinkWeakPtr = std::weak_ptr<PluginEventSink>;

}  // namespace FB
