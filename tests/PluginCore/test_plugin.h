#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "PluginCore/PluginCore.h"
#include "PluginCore/PluginEvent.h"
#include "PluginCore/PluginWindow.h"
#include "ScriptingCore/JSAPIAuto.h"

namespace FB::testing {

// A window that names itself in the events its sinks note.
class NamedWindow : public PluginWindow {
 public:
  explicit NamedWindow(std::string name) : name(std::move(name)) {}
  const std::string name;
};

// A plug-in as small as the core allows: it notes the window events it gets
// and how often it was made ready and asked for its root object.
class TestPlugin : public PluginCore {
 public:
  bool HandleEvent(PluginEvent* event, PluginEventSource* source) override {
    const auto* window = dynamic_cast<NamedWindow*>(source);
    const std::string where = window ? window->name : "?";
    if (event->validType<AttachedEvent>()) {
      events.push_back("attached " + where);
    } else if (event->validType<DetachedEvent>()) {
      events.push_back("detached " + where);
    } else {
      events.push_back("other " + where);
    }
    return false;
  }

  JSAPIPtr createJSAPI() override {
    ++created;
    if (fail_creation) throw std::runtime_error("no root object");
    return std::make_shared<JSAPIAuto>();
  }

  void onPluginReady() override { ++readied; }

  std::vector<std::string> events;
  int created = 0;
  int readied = 0;
  bool fail_creation = false;
};

}  // namespace FB::testing
