#pragma once

#include "ScriptingCore/JSAPI.h"
#include "ScriptingCore/scripting_types.h"

namespace FB {

// Runs a span of code in a security zone of one scriptable object: pushes the
// zone when made, pops it when destroyed.
// 1. While it lives, the thread holds the object's zone lock (JSAPIImpl), so
//    other threads wait before pushing a zone, reading the zone or calling a
//    member of that object.
// 2. It must be destroyed on the thread that made it; the lock is a mutex.
// 3. Made from a shared reference, it keeps the object alive until the pop.
// 4. Made with no object, it does nothing.
class scoped_zonelock {
 public:
  scoped_zonelock(JSAPI* object, int zone) : object_(object) {
    if (object_) object_->pushZone(zone);
  }
  scoped_zonelock(const JSAPIPtr& object, int zone) : keep_alive_(object), object_(object.get()) {
    if (object_) object_->pushZone(zone);
  }
  scoped_zonelock(const scoped_zonelock&) = delete;
  scoped_zonelock& operator=(const scoped_zonelock&) = delete;
  ~scoped_zonelock() {
    if (object_) object_->popZone();
  }

 private:
  JSAPIPtr keep_alive_;
  JSAPI* object_;
};

}  // namespace FB
