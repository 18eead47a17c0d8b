#include "PluginCore/PluginEventSource.h"

#include "PluginCore/PluginEvent.h"

namespace FB {

void PluginEventSource::AttachObserver(PluginEventSink* sink) {
  AttachObserver(sink->shared_from_this());
}

void PluginEventSource::AttachObserver(const PluginEventSinkPtr& sink) {
  std::lock_guard<std::recursive_mutex> lock(observers_lock_);
  observers_.push_back(sink);
  AttachedEvent attached;
  sink->HandleEvent(&attached, this);
}

// By address rather than through the sink's reference to itself, so that
// a sink on its way out can still be detached.
void PluginEventSource::DetachObserver(PluginEventSink* sink) { detach(sink); }

void PluginEventSource::DetachObserver(const PluginEventSinkPtr& sink) { detach(sink.get()); }

void PluginEventSource::detach(const PluginEventSink* sink) {
  std::lock_guard<std::recursive_mutex> lock(observers_lock_);
  std::vector<PluginEventSinkPtr> detached;
  std::vector<PluginEventSinkWeakPtr> kept;
  for (const PluginEventSinkWeakPtr& entry : observers_) {
    const PluginEventSinkPtr observer = entry.lock();
    if (!observer) continue;
    if (observer.get() == sink) {
      detached.push_back(observer);
    } else {
      kept.push_back(entry);
    }
  }
  observers_.swap(kept);
  for (const PluginEventSinkPtr& observer : detached) {
    DetachedEvent event;
    observer->HandleEvent(&event, this);
  }
}

bool PluginEventSource::SendEvent(PluginEvent* event) {
  std::lock_guard<std::recursive_mutex> lock(observers_lock_);
  const std::vector<PluginEventSinkWeakPtr> observers = observers_;
  for (const PluginEventSinkWeakPtr& entry : observers) {
    if (const PluginEventSinkPtr observer = entry.lock()) {
      if (observer->HandleEvent(event, this)) return true;
    }
  }
  return false;
}

}  // namespace FB
