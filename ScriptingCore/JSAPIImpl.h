#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ScriptingCore/JSAPI.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

class JSAPIImpl;
using JSAPIImplPtr = std::shared_ptr<JSAPIImpl>;
using JSAPIImplWeakPtr = std::weak_ptr<JSAPIImpl>;

// Handlers by event context (one per page instance), then by event name;
// handlers of one name stay in the order they were added.
using EventMultiMap = std::multimap<std::string, JSObjectPtr>;
using EventContextMap = std::map<const void*, EventMultiMap>;
// Objects whose methods are called by event name, by context, then by the
// object's own address.
using EventIFaceMap = std::map<const void*, JSObjectPtr>;
using EventIfaceContextMap = std::map<const void*, EventIFaceMap>;

// The common base of the plugin's own scriptable objects: security zones,
// event handlers and their delivery, proxies that re-fire this object's
// events as their own, and invalidation.
//
// Any thread may fire; the main thread registers handlers and calls members.
// Three recursive mutexes, in this order (a thread holding one may take
// those after it, never one before it):
// 1. zone lock: the zone stack and, in JSAPIAuto, every member table. Held
//    from pushZone to the matching popZone and across each member call, the
//    method it runs included; so a method may fire events of its own
//    object. Firing takes it only to read one attribute, holding nothing
//    else.
// 2. proxy lock: the proxy list, held only to prune and copy it.
// 3. event lock: both handler registries, held only to change or copy them.
// Firing holds at most one of them at a time and none while it calls a
// handler or a proxy, so it cannot take part in a deadlock; the calls it
// makes queue work and return (JSObject::InvokeAsync). A member call may
// reach other objects while it holds its zone lock (a method object runs
// its parent's method, a method fires and the proxies fire in turn); that
// nesting is safe because member calls come from one thread, the browser's
// main thread.
class JSAPIImpl : public JSAPI {
 public:
  JSAPIImpl();
  explicit JSAPIImpl(int zone);

  // Once invalid, firing does nothing and members fail; there is no way back.
  void invalidate() override;
  bool isValid() const noexcept { return valid_.load(); }

  // pushZone takes the zone lock and keeps it until the matching popZone on
  // the same thread; scoped_zonelock pairs them.
  void pushZone(int zone) override;
  void popZone() override;
  void setDefaultZone(int zone) override;
  int getDefaultZone() const override;
  int getZone() const override;

  using JSAPI::registerEventMethod;
  using JSAPI::unregisterEventMethod;
  // A handler already registered for the name (same identity, same
  // context) is kept once.
  void registerEventMethod(const std::string& name, const JSObjectPtr& handler) override;
  void unregisterEventMethod(const std::string& name, const JSObjectPtr& handler) override;
  void registerEventInterface(const JSObjectPtr& object) override;
  void unregisterEventInterface(const JSObjectPtr& object) override;

  // Delivers to this object's own handlers and interfaces; see FireEvent.
  virtual void fireAsyncEvent(const std::string& name, const VariantList& arguments);
  // Proxies first, then this object's own handlers. A handler that fails
  // does not keep the event from the others: the first failure other than
  // a script error is rethrown once every delivery has been queued.
  virtual void FireEvent(const std::wstring& name, const VariantList& arguments);
  virtual void FireEvent(const std::string& name, const VariantList& arguments);
  // Every handler gets one argument, the event object of CreateEvent.
  virtual void FireJSEvent(const std::string& name, const VariantMap& members,
                           const VariantList& arguments);
  virtual void FireJSEvent(const std::string& name, const VariantMap& members);
  virtual void FireJSEvent(const std::string& name, const VariantList& arguments);
  // A hook for objects that announce their events; does nothing here.
  virtual void registerEvent(const std::string& name);
  virtual void registerEvent(const std::wstring& name);
  virtual void registerProxy(const JSAPIImplWeakPtr& proxy);
  // Also drops proxies that no longer exist.
  virtual void unregisterProxy(const JSAPIImplPtr& proxy);

 protected:
  // True while this object is handing one of its events to its proxies on
  // the calling thread. A proxy chain that leads back here fires nothing a
  // second time.
  bool isForwardingOnThisThread() const;

  mutable std::recursive_mutex zone_lock_;

 private:
  std::vector<JSAPIImplPtr> liveProxies();
  EventContextMap copyHandlers() const;
  EventIfaceContextMap copyInterfaces() const;
  // Hands the event to every live proxy with its arguments rewritten;
  // returns false when this object is already forwarding on this thread.
  template <class Forward>
  bool forwardToProxies(Forward forward);

  mutable std::recursive_mutex event_lock_;
  EventContextMap event_handlers_;
  EventIfaceContextMap event_interfaces_;

  std::recursive_mutex proxy_lock_;
  std::vector<JSAPIImplWeakPtr> proxies_;

  std::deque<int> zone_stack_;  // top is the current zone, bottom the default
  std::atomic<bool> valid_{true};
};

}  // namespace FB
