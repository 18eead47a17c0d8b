#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/JSAPI.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

// The plugin's handle on an object that lives in the page: a function given
// as an event handler, an array or object passed in, the window. The page
// side (the browser adapter) implements it. It refers to its browser host
// weakly: a page object never keeps a host alive.
class JSObject : public JSAPI {
 public:
  explicit JSObject(const BrowserHostPtr& host) : host_(host) {}

  // Handlers standing for one page function share an identity, so the event
  // registry files a function registered twice once.
  virtual const void* getEventId() const { return nullptr; }
  // Shared by all objects of one page instance; the registry groups by it.
  virtual const void* getEventContext() const { return nullptr; }
  // When true, callMultipleFunctions delivers one event to many handlers.
  virtual bool supportsOptimizedCalls() const { return false; }
  virtual void callMultipleFunctions(const std::string& /*name*/, const VariantList& /*arguments*/,
                                     const std::vector<JSObjectPtr>& /*handlers*/,
                                     const std::vector<JSObjectPtr>& /*interfaces*/) {}
  // False once the page the object belongs to has gone.
  virtual bool isValid() const = 0;

  // Calls from any thread, queued to the browser's main thread; they return
  // at once. An empty method name calls the object itself as a function,
  // from a zero-delay page timer. With the host gone they throw
  // std::runtime_error "Cannot invoke asynchronously"; a host that no
  // longer queues drops the call.
  virtual void InvokeAsync(const std::string& method_name, const VariantList& arguments);
  // Main thread: the queued half of InvokeAsync.
  virtual void _invokeAsync(const VariantList& arguments, const std::string& method_name);
  virtual void SetPropertyAsync(const std::string& name, const variant& value);

  // When this page object is the page's face of one of the plugin's own
  // scriptable objects, that object; otherwise empty.
  virtual JSAPIPtr getJSAPI() const = 0;

  // Throws std::bad_weak_ptr once the host has gone.
  BrowserHostPtr getHost() const { return BrowserHostPtr(host_); }

  JSObjectPtr shared_from_this() {
    return std::static_pointer_cast<JSObject>(JSAPI::shared_from_this());
  }

  // Reading helpers for page arrays and objects; an empty reference reads
  // as nothing. Script errors raised while reading reach the caller.
  // Elements 0 to "length" - 1, appended in order.
  static void GetArrayValues(const JSObjectPtr& source, VariantList& values);
  // As above, each element converted to a page object.
  static void GetArrayValues(const JSObjectPtr& source, std::vector<JSObjectPtr>& objects);
  // Every member the object names, with its value.
  static void GetObjectValues(const JSObjectPtr& source, VariantMap& values);

 protected:
  BrowserHostWeakPtr host_;
};

}  // namespace FB
