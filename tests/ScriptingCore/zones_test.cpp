#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/scoped_zonelock.h"
#include "registry_objects.h"

namespace {

using FB::testing::RegistryObject;

TEST(Zones, StartInTheZoneGiven) {
  RegistryObject public_object;
  EXPECT_EQ(public_object.getZone(), 0);
  EXPECT_EQ(public_object.getDefaultZone(), 0);
  RegistryObject trusted(3);
  EXPECT_EQ(trusted.getZone(), 3);
  EXPECT_EQ(trusted.getDefaultZone(), 3);
}

TEST(Zones, PushedZoneIsCurrentUntilPopped) {
  RegistryObject object;
  object.pushZone(2);
  object.pushZone(5);
  EXPECT_EQ(object.getZone(), 5);
  EXPECT_EQ(object.getDefaultZone(), 0);
  object.popZone();
  EXPECT_EQ(object.getZone(), 2);
  object.popZone();
  EXPECT_EQ(object.getZone(), 0);
}

TEST(Zones, SetDefaultZoneReplacesTheBottomOnly) {
  RegistryObject object;
  object.pushZone(4);
  object.setDefaultZone(1);
  EXPECT_EQ(object.getZone(), 4);
  EXPECT_EQ(object.getDefaultZone(), 1);
  object.popZone();
  EXPECT_EQ(object.getZone(), 1);
}

// A pop without its push must neither empty the stack nor release a lock
// the thread does not hold; another thread can still push afterwards.
TEST(Zones, PopWithoutPushChangesNothing) {
  RegistryObject object;
  object.popZone();
  object.popZone();
  EXPECT_EQ(object.getZone(), 0);
  std::thread other([&] {
    object.pushZone(2);
    object.popZone();
  });
  other.join();
  EXPECT_EQ(object.getZone(), 0);
}

// Popping releases the zone lock: a second thread gets through after it.
TEST(Zones, PoppedZoneLetsOtherThreadsIn) {
  RegistryObject object;
  {
    FB::scoped_zonelock zone(&object, 2);
    EXPECT_EQ(object.getZone(), 2);
  }
  int seen = -1;
  std::thread other([&] {
    FB::scoped_zonelock zone(&object, 7);
    seen = object.getZone();
  });
  other.join();
  EXPECT_EQ(seen, 7);
  EXPECT_EQ(object.getZone(), 0);
}

TEST(ScopedZonelock, SharedFormKeepsTheObjectAlive) {
  auto object = std::make_shared<RegistryObject>();
  const std::weak_ptr<RegistryObject> watch = object;
  {
    FB::scoped_zonelock zone(FB::JSAPIPtr(object), 3);
    object.reset();
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(watch.lock()->getZone(), 3);
  }
  EXPECT_TRUE(watch.expired());
}

TEST(ScopedZonelock, WithoutObjectDoesNothing) {
  EXPECT_NO_THROW(FB::scoped_zonelock(static_cast<FB::JSAPI*>(nullptr), 2));
  EXPECT_NO_THROW(FB::scoped_zonelock(FB::JSAPIPtr(), 2));
}

}  // namespace
