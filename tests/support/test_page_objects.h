#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ScriptingCore/BrowserHost.h"
#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/variant.h"

namespace FB::testing {

// A page object in memory, as the page of a test host holds it: named
// properties and indexed elements, and a body when it is a page function.
// A method is a property holding a function, as in page script. Used on the
// main thread only, like every page object; the asynchronous calls are
// JSObject's own and go through the host.
class ScriptObject : public JSObject {
 public:
  using Body = std::function<variant(const VariantList&)>;

  explicit ScriptObject(const BrowserHostPtr& host, Body body = nullptr);
  static std::shared_ptr<ScriptObject> makeFunction(const BrowserHostPtr& host, Body body);

  VariantMap properties;
  VariantList elements;

  using JSAPI::getMemberNames;
  using JSAPI::GetProperty;
  using JSAPI::HasMethod;
  using JSAPI::HasProperty;
  using JSAPI::Invoke;
  using JSAPI::RemoveProperty;
  using JSAPI::SetProperty;

  void invalidate() override {}
  void getMemberNames(std::vector<std::string>& names) const override;
  std::size_t getMemberCount() const override { return properties.size(); }
  bool HasMethod(const std::string& name) const override;
  bool HasProperty(const std::string& name) const override { return properties.count(name) > 0; }
  bool HasProperty(int index) const override;
  variant GetProperty(const std::string& name) override;
  void SetProperty(const std::string& name, const variant& value) override;
  variant GetProperty(int index) override;
  void SetProperty(int index, const variant& value) override;
  void RemoveProperty(const std::string& name) override { properties.erase(name); }
  void RemoveProperty(int index) override;
  // The empty name calls the object itself; any other name calls the
  // function that property holds.
  variant Invoke(const std::string& name, const VariantList& arguments) override;
  variant Construct(const VariantList& arguments) override;

  const void* getEventId() const override { return this; }
  const void* getEventContext() const override { return context_; }
  bool isValid() const override { return !host_.expired(); }
  JSAPIPtr getJSAPI() const override { return nullptr; }

 private:
  Body body_;
  const void* context_;
};

using ScriptObjectPtr = std::shared_ptr<ScriptObject>;

// The page's window: its functions and objects as properties, "Array" and
// "Object" to make new ones, and page timers on a clock the test drives.
class PageWindow : public ScriptObject {
 public:
  explicit PageWindow(const BrowserHostPtr& host);

  // A page function under that name on the window.
  ScriptObjectPtr defineFunction(const std::string& name, Body body);
  // A "console" whose "log" appends to the list returned.
  std::shared_ptr<std::vector<std::string>> installConsole();

  // Page timers: callback runs once the clock has advanced by delay ms.
  int setTimeout(std::function<void()> callback, int delay);
  // Moves the clock on, running each timer that falls due in the order they
  // fall due (then in the order set); timers set meanwhile are included.
  void advanceTime(int milliseconds);
  int now() const { return now_; }
  std::size_t pendingTimers() const { return timers_.size(); }

 private:
  struct Timer {
    int due;
    int id;
    std::function<void()> callback;
  };
  std::vector<Timer> timers_;
  int now_ = 0;
  int last_timer_id_ = 0;
};

using PageWindowPtr = std::shared_ptr<PageWindow>;

}  // namespace FB::testing
