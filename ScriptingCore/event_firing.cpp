// Event firing of JSAPIImpl: forwarding to proxies, then delivery to this
// object's own handlers and interfaces. Nothing here runs page script: the
// handlers' InvokeAsync and callMultipleFunctions queue the calls for the
// browser's main thread and return.

#include <algorithm>
#include <set>

#include "ScriptingCore/JSAPIImpl.h"
#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/delivery_failures.h"
#include "ScriptingCore/event_object.h"
#include "ScriptingCore/proxy_arguments.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/utf8_conversion.h"

namespace FB {
namespace {

// The objects handing an event to their proxies on this thread, outermost
// first. Without it a proxy chain that leads back to its start would fire
// forever.
thread_local std::vector<const JSAPIImpl*> forwarding_chain;

class ForwardingChainEntry {
 public:
  explicit ForwardingChainEntry(const JSAPIImpl* object)
      : reentered_(std::find(forwarding_chain.begin(), forwarding_chain.end(), object) !=
                   forwarding_chain.end()) {
    if (!reentered_) forwarding_chain.push_back(object);
  }
  ForwardingChainEntry(const ForwardingChainEntry&) = delete;
  ForwardingChainEntry& operator=(const ForwardingChainEntry&) = delete;
  ~ForwardingChainEntry() {
    if (!reentered_) forwarding_chain.pop_back();
  }
  bool reentered() const { return reentered_; }

 private:
  bool reentered_;
};

std::vector<JSObjectPtr> handlersOf(const EventMultiMap& by_name, const std::string& name) {
  std::vector<JSObjectPtr> handlers;
  const auto [begin, end] = by_name.equal_range(name);
  for (auto entry = begin; entry != end; ++entry) handlers.push_back(entry->second);
  return handlers;
}

std::vector<JSObjectPtr> interfacesOf(const EventIfaceContextMap& interfaces, const void* context) {
  std::vector<JSObjectPtr> objects;
  const auto found = interfaces.find(context);
  if (found == interfaces.end()) return objects;
  for (const auto& entry : found->second) objects.push_back(entry.second);
  return objects;
}

}  // namespace

bool JSAPIImpl::isForwardingOnThisThread() const {
  return std::find(forwarding_chain.begin(), forwarding_chain.end(), this) !=
         forwarding_chain.end();
}

template <class Forward>
bool JSAPIImpl::forwardToProxies(Forward forward) {
  ForwardingChainEntry entry(this);
  if (entry.reentered()) return false;
  for (const JSAPIImplPtr& proxy : liveProxies()) forward(proxy);
  return true;
}

void JSAPIImpl::FireEvent(const std::wstring& name, const VariantList& arguments) {
  FireEvent(wstring_to_utf8(name), arguments);
}

void JSAPIImpl::FireEvent(const std::string& name, const VariantList& arguments) {
  if (!isValid()) return;
  const JSAPIPtr keep_alive = weak_from_this().lock();
  detail::DeliveryFailures failures;
  const bool first_visit = forwardToProxies([&](const JSAPIImplPtr& proxy) {
    failures.attempt(
        [&] { proxy->FireEvent(name, detail::proxyArguments(arguments, *this, proxy)); });
  });
  if (!first_visit) return;
  failures.attempt([&] {
    try {
      fireAsyncEvent(name, arguments);
    } catch (const script_error&) {
      // A page-side failure of this object's own delivery is not the
      // firing code's concern.
    }
  });
  failures.rethrowFirst();
}

void JSAPIImpl::fireAsyncEvent(const std::string& name, const VariantList& arguments) {
  // Copies, so that handlers may come and go while the event is delivered.
  const EventContextMap handlers = copyHandlers();
  const EventIfaceContextMap interfaces = copyInterfaces();
  std::set<const void*> handled_contexts;
  detail::DeliveryFailures failures;

  for (const auto& context_handlers : handlers) {
    const void* context = context_handlers.first;
    const EventMultiMap& by_name = context_handlers.second;
    bool first = true;
    const auto [begin, end] = by_name.equal_range(name);
    for (auto entry = begin; entry != end; ++entry) {
      const JSObjectPtr& handler = entry->second;
      if (!handler->isValid()) continue;
      if (first && handler->supportsOptimizedCalls()) {
        // One call delivers to the whole context, its interfaces included.
        handled_contexts.insert(context);
        failures.attempt([&] {
          handler->callMultipleFunctions(name, arguments, handlersOf(by_name, name),
                                         interfacesOf(interfaces, context));
        });
        break;
      }
      first = false;
      failures.attempt([&] { handler->InvokeAsync("", arguments); });
    }
  }

  for (const auto& context_interfaces : interfaces) {
    const void* context = context_interfaces.first;
    if (handled_contexts.count(context) != 0) continue;
    for (const auto& entry : context_interfaces.second) {
      const JSObjectPtr& object = entry.second;
      // The page behind it has gone; nothing there could run the call.
      if (!object->isValid()) continue;
      if (object->supportsOptimizedCalls()) {
        failures.attempt([&] {
          object->callMultipleFunctions(name, arguments, {}, interfacesOf(interfaces, context));
        });
        break;
      }
      failures.attempt([&] { object->InvokeAsync(name, arguments); });
    }
  }
  failures.rethrowFirst();
}

void JSAPIImpl::FireJSEvent(const std::string& name, const VariantMap& members,
                            const VariantList& arguments) {
  if (!isValid()) return;
  const JSAPIPtr self = weak_from_this().lock();
  detail::DeliveryFailures failures;
  const bool first_visit = forwardToProxies([&](const JSAPIImplPtr& proxy) {
    failures.attempt([&] {
      proxy->FireJSEvent(name, detail::proxyArguments(members, *this, proxy),
                         detail::proxyArguments(arguments, *this, proxy));
    });
  });
  if (!first_visit) return;

  const VariantList event{CreateEvent(self, name, members, arguments)};
  for (const auto& context : copyHandlers()) {
    for (const JSObjectPtr& handler : handlersOf(context.second, name)) {
      if (handler->isValid()) failures.attempt([&] { handler->InvokeAsync("", event); });
    }
  }
  for (const auto& context : copyInterfaces()) {
    for (const auto& entry : context.second) {
      const JSObjectPtr& object = entry.second;
      if (object->isValid()) failures.attempt([&] { object->InvokeAsync(name, event); });
    }
  }
  try {
    failures.rethrowFirst();
  } catch (const script_error&) {
    // As for FireEvent: page-side failures stay on the page side.
  }
}

void JSAPIImpl::FireJSEvent(const std::string& name, const VariantMap& members) {
  FireJSEvent(name, members, VariantList());
}

void JSAPIImpl::FireJSEvent(const std::string& name, const VariantList& arguments) {
  FireJSEvent(name, VariantMap(), arguments);
}

}  // namespace FB
