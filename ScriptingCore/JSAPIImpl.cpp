// Zones, the handler registries and the proxy list of JSAPIImpl; firing is
// in event_firing.cpp.

#include "ScriptingCore/JSAPIImpl.h"

#include <algorithm>

#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/utf8_conversion.h"

namespace FB {
namespace {

// Handler objects without an identity of their own stand only for
// themselves, so two different ones are never merged.
const void* handlerIdentity(const JSObject& handler) {
  const void* identity = handler.getEventId();
  return identity ? identity : &handler;
}

}  // namespace

JSAPIImpl::JSAPIImpl() : JSAPIImpl(0) {}

JSAPIImpl::JSAPIImpl(int zone) : zone_stack_{zone} { registerEvent("onload"); }

void JSAPIImpl::invalidate() { valid_ = false; }

void JSAPIImpl::pushZone(int zone) {
  zone_lock_.lock();  // released by the matching popZone
  zone_stack_.push_back(zone);
}

void JSAPIImpl::popZone() {
  std::unique_lock<std::recursive_mutex> lock(zone_lock_);
  // More than the default zone on the stack means a push is outstanding, and
  // its pusher, who holds the lock, can only be this thread. A pop without a
  // push leaves the stack and the lock as they are.
  if (zone_stack_.size() < 2) return;
  zone_stack_.pop_back();
  zone_lock_.unlock();  // the lock taken by the pushZone
}

void JSAPIImpl::setDefaultZone(int zone) {
  std::lock_guard<std::recursive_mutex> lock(zone_lock_);
  zone_stack_.front() = zone;
}

int JSAPIImpl::getDefaultZone() const {
  std::lock_guard<std::recursive_mutex> lock(zone_lock_);
  return zone_stack_.front();
}

int JSAPIImpl::getZone() const {
  std::lock_guard<std::recursive_mutex> lock(zone_lock_);
  return zone_stack_.back();
}

void JSAPIImpl::registerEventMethod(const std::string& name, const JSObjectPtr& handler) {
  if (!handler) throw invalid_arguments();
  const void* identity = handlerIdentity(*handler);
  std::lock_guard<std::recursive_mutex> lock(event_lock_);
  EventMultiMap& by_name = event_handlers_[handler->getEventContext()];
  const auto [begin, end] = by_name.equal_range(name);
  const bool known = std::any_of(begin, end, [identity](const EventMultiMap::value_type& entry) {
    return handlerIdentity(*entry.second) == identity;
  });
  if (!known) by_name.emplace_hint(end, name, handler);
}

void JSAPIImpl::unregisterEventMethod(const std::string& name, const JSObjectPtr& handler) {
  if (!handler) throw invalid_arguments();
  const void* identity = handlerIdentity(*handler);
  std::lock_guard<std::recursive_mutex> lock(event_lock_);
  const auto context = event_handlers_.find(handler->getEventContext());
  if (context == event_handlers_.end()) return;
  EventMultiMap& by_name = context->second;
  const auto [begin, end] = by_name.equal_range(name);
  const auto found = std::find_if(begin, end, [identity](const EventMultiMap::value_type& entry) {
    return handlerIdentity(*entry.second) == identity;
  });
  if (found == end) return;
  by_name.erase(found);
  if (by_name.empty()) event_handlers_.erase(context);
}

void JSAPIImpl::registerEventInterface(const JSObjectPtr& object) {
  if (!object) throw invalid_arguments();
  std::lock_guard<std::recursive_mutex> lock(event_lock_);
  event_interfaces_[object->getEventContext()][object.get()] = object;
}

void JSAPIImpl::unregisterEventInterface(const JSObjectPtr& object) {
  if (!object) throw invalid_arguments();
  std::lock_guard<std::recursive_mutex> lock(event_lock_);
  const auto context = event_interfaces_.find(object->getEventContext());
  if (context == event_interfaces_.end()) return;
  context->second.erase(object.get());
  if (context->second.empty()) event_interfaces_.erase(context);
}

EventContextMap JSAPIImpl::copyHandlers() const {
  std::lock_guard<std::recursive_mutex> lock(event_lock_);
  return event_handlers_;
}

EventIfaceContextMap JSAPIImpl::copyInterfaces() const {
  std::lock_guard<std::recursive_mutex> lock(event_lock_);
  return event_interfaces_;
}

void JSAPIImpl::registerEvent(const std::string&) {}

void JSAPIImpl::registerEvent(const std::wstring& name) { registerEvent(wstring_to_utf8(name)); }

void JSAPIImpl::registerProxy(const JSAPIImplWeakPtr& proxy) {
  std::lock_guard<std::recursive_mutex> lock(proxy_lock_);
  proxies_.push_back(proxy);
}

void JSAPIImpl::unregisterProxy(const JSAPIImplPtr& proxy) {
  std::lock_guard<std::recursive_mutex> lock(proxy_lock_);
  proxies_.erase(std::remove_if(proxies_.begin(), proxies_.end(),
                                [&proxy](const JSAPIImplWeakPtr& entry) {
                                  const JSAPIImplPtr live = entry.lock();
                                  return !live || live == proxy;
                                }),
                 proxies_.end());
}

std::vector<JSAPIImplPtr> JSAPIImpl::liveProxies() {
  std::lock_guard<std::recursive_mutex> lock(proxy_lock_);
  std::vector<JSAPIImplPtr> live;
  auto kept = proxies_.begin();
  for (const JSAPIImplWeakPtr& entry : proxies_) {
    if (JSAPIImplPtr proxy = entry.lock()) {
      live.push_back(std::move(proxy));
      *kept++ = entry;
    }
  }
  proxies_.erase(kept, proxies_.end());
  return live;
}

}  // namespace FB
