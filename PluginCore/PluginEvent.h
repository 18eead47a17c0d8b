#pragma once

#include <type_traits>
#include <typeinfo>

namespace FB {

// What an event source hands its sinks: window events, stream events, and
// the two below. Carries no data of its own; subclasses add theirs.
class PluginEvent {
 public:
  virtual ~PluginEvent() = default;

  // Whether this event is a T or derives from one.
  template <class T>
  bool validType() const {
    if constexpr (std::is_base_of_v<T, PluginEvent>) {
      return true;
    } else {
      return dynamic_cast<const T*>(this) != nullptr;
    }
  }
  // This event as a T; std::bad_cast when it is none.
  template <class T>
  T* get() {
    return &dynamic_cast<T&>(*this);
  }
};

// Sent to a sink as it is attached to a source.
class AttachedEvent : public PluginEvent {};

// Sent to a sink as it is detached from a source.
class DetachedEvent : public PluginEvent {};

}  // namespace FB
