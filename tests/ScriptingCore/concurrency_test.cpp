// Firing happens on capture threads while the main thread registers
// listeners and calls members. These run under ThreadSanitizer; they check
// counts only, never timing, and every loop is bounded.

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "ScriptingCore/JSAPIAuto.h"
#include "ScriptingCore/JSFunction.h"
#include "recording_handler.h"
#include "registry_objects.h"

namespace {

using FB::JSAPIPtr;
using FB::variant;
using FB::VariantList;
using FB::testing::eventContext;
using FB::testing::RecordingHandler;
using FB::testing::RegistryObject;

constexpr int kEventsPerThread = 1500;
constexpr int kJSEventEvery = 10;
constexpr int kChurnRounds = 1500;

// Two capture threads fire on an object and, through it, on its proxy; a
// third thread plays the main thread: handlers, interfaces, the event
// attribute and proxies come and go, members and method objects are called.
TEST(ConcurrentEvents, FiringWhileHandlersComeAndGo) {
  const auto source = std::make_shared<RegistryObject>();
  const auto proxy = std::make_shared<FB::JSAPIAuto>();
  source->registerProxy(proxy);
  const auto stable = RecordingHandler::make("stable", eventContext(1), nullptr);
  const auto proxied = RecordingHandler::make("proxied", eventContext(1), nullptr);
  source->registerEventMethod("ontimeout", stable);
  proxy->registerEventMethod("ontimeout", proxied);
  const JSAPIPtr record = source->GetMethodObject("record");

  std::promise<void> start;
  const std::shared_future<void> started = start.get_future().share();

  auto capture = [&] {
    started.wait();
    for (int i = 0; i < kEventsPerThread; ++i) {
      source->FireEvent("ontimeout", VariantList{i, JSAPIPtr(source)});
      if (i % kJSEventEvery == 0) source->FireJSEvent("ontimeout", VariantList{i});
    }
  };
  auto main_thread = [&] {
    started.wait();
    for (int round = 0; round < kChurnRounds; ++round) {
      const auto listener = RecordingHandler::make("listener", eventContext(round % 3), nullptr);
      listener->optimized = round % 2 == 0;
      const auto page_object =
          RecordingHandler::make("interface", eventContext(round % 2), nullptr);
      const auto extra_proxy = std::make_shared<FB::JSAPIAuto>();
      source->registerEventMethod("ontimeout", listener);
      source->registerEventInterface(page_object);
      source->SetProperty("ontimeout", listener);
      source->registerProxy(extra_proxy);
      source->Invoke("record", {round});
      record->Invoke("call", {variant(), round});
      (void)source->GetProperty("version");
      listener->valid = false;
      source->unregisterEventMethod("ontimeout", listener);
      source->unregisterEventInterface(page_object);
      source->RemoveProperty("ontimeout");
      source->unregisterProxy(extra_proxy);
    }
  };

  std::vector<std::thread> threads;
  threads.emplace_back(capture);
  threads.emplace_back(capture);
  threads.emplace_back(main_thread);
  start.set_value();
  for (std::thread& thread : threads) thread.join();

  const int events =
      2 * (kEventsPerThread + (kEventsPerThread + kJSEventEvery - 1) / kJSEventEvery);
  EXPECT_EQ(stable->calls, events);
  EXPECT_EQ(proxied->calls, events);
  EXPECT_EQ(source->record_calls, 2 * kChurnRounds);
}

// A pushed zone excludes the other threads until it is popped: each method
// object's calls see exactly the zone it was made in.
TEST(ConcurrentZones, EachCallSeesItsOwnZone) {
  constexpr int kCalls = 2000;
  const auto parent = std::make_shared<RegistryObject>();
  std::promise<void> start;
  const std::shared_future<void> started = start.get_future().share();

  auto caller = [&](int zone, int& mismatches) {
    const auto method = std::make_shared<FB::JSFunction>(parent, "zoneNow", zone);
    started.wait();
    for (int i = 0; i < kCalls; ++i) {
      if (method->Invoke("", {}).cast<int>() != zone) ++mismatches;
    }
  };
  int mismatches_2 = 0;
  int mismatches_3 = 0;
  std::thread second([&] { caller(2, mismatches_2); });
  std::thread third([&] { caller(3, mismatches_3); });
  start.set_value();
  for (int i = 0; i < kCalls; ++i) (void)parent->getZone();
  second.join();
  third.join();
  EXPECT_EQ(mismatches_2, 0);
  EXPECT_EQ(mismatches_3, 0);
  EXPECT_EQ(parent->getZone(), 0);
}

}  // namespace
