#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "PluginCore/PluginEventSink.h"
#include "ScriptingCore/BrowserStreamRequest.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

class PluginWindow;

// The base of one plug-in instance, one per element that embeds the
// plug-in. A plug-in supplies HandleEvent (its window's events) and
// createJSAPI (its root scriptable object); the rest is here: the instance's
// host, the page's <param> values with the "on" ones resolved to page
// functions, "onload" when ready, the window, the root object on demand and
// the count of live instances.
//
// Threads: everything runs on the browser's main thread, except getParam,
// which a capture thread may call. The parameters are written only by
// setParams while the instance is set up, before the page can start
// anything that reads them, so they take no lock.
//
// Ownership: the adapter owns the core; the core owns its host reference
// and its root object (others may hold that longer). The window is not the
// core's: the adapter clears it before the window goes.
class PluginCore : public PluginEventSink {
 public:
  PluginCore();
  // Shuts the host down and releases, in order, the root object, the
  // parameters, the path and the host.
  ~PluginCore() override;

  // The plug-in's window events.
  bool HandleEvent(PluginEvent* event, PluginEventSource* source) override = 0;

  virtual void SetHost(const BrowserHostPtr& host);
  virtual PluginWindow* GetWindow() const;
  virtual void setScriptingOnly(bool scripting_only);
  virtual bool isScriptingOnly() const;
  // Attaches the core to the window (it gets an AttachedEvent), detaching
  // it from another window first. The window already set changes nothing;
  // a null window clears it.
  virtual void SetWindow(PluginWindow* window);
  // Detaches the core from its window (it gets a DetachedEvent), if any.
  virtual void ClearWindow();
  // Schedules the page's "onload" function for 250 ms later with the root
  // object as its argument; true when it did. Never throws; onPluginReady
  // runs in every case.
  virtual bool setReady();
  virtual void onPluginReady() {}
  // The plug-in stops its work here before the instance goes.
  virtual void shutdown() {}
  virtual JSAPIPtr createJSAPI() = 0;
  // The same root object on every call, made on the first.
  virtual JSAPIPtr getRootJSAPI();
  // Decided once, from the "windowless" parameter.
  virtual bool isWindowless();
  virtual void setFSPath(const std::string& path);
  // Merges the page's parameters in: a name given replaces its value. One
  // whose name begins with "on" names a page function on the window and is
  // stored as that function (empty when the page has none). A parameter
  // that cannot be processed is stored as it came, with a warning.
  virtual void setParams(const VariantMap& params);
  // A parameter as text; empty when there is none. A value that is no text
  // (a resolved page function) raises bad_variant_cast.
  virtual std::optional<std::string> getParam(const std::string& name) const;
  virtual variant getParamVariant(const std::string& name) const;
  // Leaves the request unaccepted.
  virtual void handleUnsolicitedStream(BrowserStreamRequest& request);
  virtual BrowserHostPtr getHost() const;

  void releaseRootJSAPI();
  // The platform's names; nothing here reads them back.
  static void setPlatform(const std::string& os, const std::string& browser);
  static int getActivePluginCount();

 private:
  // The page window's property of that name as a page function.
  JSObjectPtr pageFunction(const std::string& name) const;

  BrowserHostPtr host_;
  std::string fs_path_;
  VariantMap params_;
  PluginWindow* window_ = nullptr;
  JSAPIPtr root_api_;
  std::optional<bool> windowless_;  // undecided until first asked
  bool scripting_only_ = false;

  static std::atomic<int> ActivePluginCount;
  static std::string OS;
  static std::string Browser;
};

using PluginCorePtr = std::shared_ptr<PluginCore>;

}  // namespace FB
