#pragma once

#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "PluginCore/PluginEventSink.h"

namespace FB {

// Hands events to the sinks attached to it, in the order they were
// attached. It holds them weakly: a sink that has gone is skipped, and
// forgotten at the next detach.
//
// Guard: the observers lock (recursive) protects the observer list. It is
// held for each whole operation, the sinks' HandleEvent calls included, so
// a sink may attach or detach observers of this source from HandleEvent on
// the same thread (SendEvent walks a copy: such changes count from the next
// event). Sources are driven from the browser's main thread; a sink must
// not wait there for another thread that uses this source. An exception
// from a sink leaves the operation, and the lock, at that point.
class PluginEventSource : public std::enable_shared_from_this<PluginEventSource> {
 public:
  PluginEventSource() = default;
  PluginEventSource(const PluginEventSource&) = delete;
  PluginEventSource& operator=(const PluginEventSource&) = delete;
  virtual ~PluginEventSource() = default;

  // The sink gets an AttachedEvent at once; a plain pointer must be to a
  // sink owned by a shared reference.
  virtual void AttachObserver(PluginEventSink* sink);
  virtual void AttachObserver(const PluginEventSinkPtr& sink);
  // Every entry of the sink gets a DetachedEvent as it is removed; entries
  // whose sinks have gone are dropped on the way.
  virtual void DetachObserver(PluginEventSink* sink);
  virtual void DetachObserver(const PluginEventSinkPtr& sink);
  // True once a sink has handled the event; the sinks after it do not see it.
  virtual bool SendEvent(PluginEvent* event);

  template <class T>
  bool validType() const {
    if constexpr (std::is_base_of_v<T, PluginEventSource>) {
      return true;
    } else {
      return dynamic_cast<const T*>(this) != nullptr;
    }
  }
  // This source as a T; std::bad_cast when it is none.
  template <class T>
  T* get_as() {
    return &dynamic_cast<T&>(*this);
  }

 protected:
  std::vector<PluginEventSinkWeakPtr> observers_;
  std::recursive_mutex observers_lock_;

 private:
  void detach(const PluginEventSink* sink);
};

using PluginEventSourcePtr = std::shared_ptr<PluginEventSource>;

}  // namespace FB
