// Event sources and sinks: attachment, delivery in order until a sink
// handles the event, sinks that have gone, and the typed views.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "PluginCore/PluginEvent.h"
#include "PluginCore/PluginEventSink.h"
#include "PluginCore/PluginEventSource.h"
#include "PluginCore/PluginWindow.h"

namespace {

using FB::AttachedEvent;
using FB::DetachedEvent;
using FB::PluginEvent;
using FB::PluginEventSource;

class PingEvent : public PluginEvent {};

using Journal = std::vector<std::string>;

// Notes each event it gets as "<label>:<kind>"; handles pings when told to.
class NotingSink : public FB::PluginEventSink {
 public:
  NotingSink(std::string label, Journal& journal) : label_(std::move(label)), journal_(journal) {}

  bool HandleEvent(PluginEvent* event, PluginEventSource* source) override {
    const char* kind = event->validType<AttachedEvent>()   ? "attached"
                       : event->validType<DetachedEvent>() ? "detached"
                                                           : "ping";
    journal_.push_back(label_ + ":" + kind);
    if (on_event) on_event(source);
    return handles_pings && event->validType<PingEvent>();
  }

  bool handles_pings = false;
  std::function<void(PluginEventSource*)> on_event;

 private:
  std::string label_;
  Journal& journal_;
};

// Exposes how many entries the source keeps.
class CountingSource : public PluginEventSource {
 public:
  std::size_t entries() const { return observers_.size(); }
};

class Events : public ::testing::Test {
 protected:
  std::shared_ptr<NotingSink> sink(const std::string& label) {
    return std::make_shared<NotingSink>(label, journal);
  }
  bool ping() {
    PingEvent event;
    return source->SendEvent(&event);
  }

  Journal journal;
  std::shared_ptr<CountingSource> source = std::make_shared<CountingSource>();
};

TEST_F(Events, OnlyTheNewSinkIsToldOfItsAttachment) {
  const auto a = sink("a");
  const auto b = sink("b");
  source->AttachObserver(a);
  source->AttachObserver(b.get());
  EXPECT_EQ(journal, (Journal{"a:attached", "b:attached"}));
}

// Which sink handles the ping, and who sees it.
struct DeliveryCase {
  const char* label;
  int handler;  // index of the sink that handles pings, -1 for none
  bool handled;
  Journal seen;
};

class Delivery : public Events, public ::testing::WithParamInterface<DeliveryCase> {};

TEST_P(Delivery, RunsInAttachmentOrderUntilASinkHandlesIt) {
  const std::vector<std::shared_ptr<NotingSink>> sinks{sink("a"), sink("b"), sink("c")};
  for (std::size_t i = 0; i < sinks.size(); ++i) {
    sinks[i]->handles_pings = static_cast<int>(i) == GetParam().handler;
    source->AttachObserver(sinks[i]);
  }
  journal.clear();
  EXPECT_EQ(ping(), GetParam().handled);
  EXPECT_EQ(journal, GetParam().seen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Delivery,
    ::testing::Values(DeliveryCase{"NoneHandles", -1, false, {"a:ping", "b:ping", "c:ping"}},
                      DeliveryCase{"FirstHandles", 0, true, {"a:ping"}},
                      DeliveryCase{"MiddleHandles", 1, true, {"a:ping", "b:ping"}}),
    [](const ::testing::TestParamInfo<DeliveryCase>& info) { return info.param.label; });

TEST_F(Events, SinkThatHasGoneIsSkippedThenForgottenAtTheNextDetach) {
  auto gone = sink("gone");
  const auto stays = sink("stays");
  const auto leaves = sink("leaves");
  source->AttachObserver(gone);
  source->AttachObserver(stays);
  source->AttachObserver(leaves);
  gone.reset();
  journal.clear();

  EXPECT_FALSE(ping());
  EXPECT_EQ(journal, (Journal{"stays:ping", "leaves:ping"}));
  EXPECT_EQ(source->entries(), 3u);

  journal.clear();
  source->DetachObserver(leaves);
  EXPECT_EQ(journal, Journal{"leaves:detached"});
  EXPECT_EQ(source->entries(), 1u);
}

TEST_F(Events, DetachingBothFormsAndASinkNeverAttached) {
  const auto a = sink("a");
  const auto b = sink("b");
  source->AttachObserver(a);
  source->AttachObserver(b);
  journal.clear();
  source->DetachObserver(sink("stranger"));
  source->DetachObserver(a.get());
  source->DetachObserver(b);
  EXPECT_EQ(journal, (Journal{"a:detached", "b:detached"}));
  EXPECT_FALSE(ping());
}

TEST_F(Events, SinkMayAttachAnotherFromWithinAnEventWhichCountsFromTheNext) {
  const auto first = sink("first");
  const auto late = sink("late");
  source->AttachObserver(first);
  bool attached_late = false;
  first->on_event = [&](PluginEventSource* from) {
    if (attached_late) return;
    attached_late = true;
    from->AttachObserver(late);
  };
  journal.clear();
  ping();
  EXPECT_EQ(journal, (Journal{"first:ping", "late:attached"}));
  journal.clear();
  ping();
  EXPECT_EQ(journal, (Journal{"first:ping", "late:ping"}));
}

TEST_F(Events, ExceptionFromASinkReachesTheSenderAndLeavesTheSourceUsable) {
  const auto failing = sink("failing");
  const auto after = sink("after");
  source->AttachObserver(failing);
  source->AttachObserver(after);
  failing->on_event = [](PluginEventSource*) { throw std::runtime_error("sink failed"); };
  journal.clear();
  EXPECT_THROW(ping(), std::runtime_error);
  EXPECT_EQ(journal, Journal{"failing:ping"});

  failing->on_event = nullptr;
  journal.clear();
  EXPECT_FALSE(ping());
  EXPECT_EQ(journal, (Journal{"failing:ping", "after:ping"}));
}

TEST(TypedViews, EventsAndSourcesCastToWhatTheyAre) {
  PingEvent ping;
  PluginEvent& event = ping;
  EXPECT_TRUE(event.validType<PingEvent>());
  EXPECT_TRUE(event.validType<PluginEvent>());
  EXPECT_FALSE(event.validType<AttachedEvent>());
  EXPECT_EQ(event.get<PingEvent>(), &ping);
  EXPECT_THROW(event.get<DetachedEvent>(), std::bad_cast);

  FB::PluginWindow window;
  PluginEventSource& source = window;
  EXPECT_TRUE(source.validType<FB::PluginWindow>());
  EXPECT_EQ(source.get_as<FB::PluginWindow>(), &window);
  CountingSource plain;
  EXPECT_FALSE(plain.validType<FB::PluginWindow>());
  EXPECT_THROW(plain.get_as<FB::PluginWindow>(), std::bad_cast);
}

}  // namespace
