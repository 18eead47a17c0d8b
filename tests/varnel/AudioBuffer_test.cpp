#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "demod/synth.h"
#include "varnel/AudioBuffer.h"

namespace {

using varnel::AudioBuffer;
using Samples = std::vector<unsigned char>;

constexpr unsigned long kPeriod = 16000;  // 2 seconds
const demod::MessageBytes kMessage = {0xde, 0xad, 0xbe, 0xef, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};

// `seconds` of signed 8-bit audio with a frame whose first tone is at `at`.
Samples stream_with_frame(double seconds, double at) {
  demod::SynthOptions options;
  options.lead_seconds = at;
  Samples samples = demod::synthesize_frame(kMessage, options);
  samples.resize(static_cast<std::size_t>(seconds * 8000), 0);
  return samples;
}

int deliver(AudioBuffer& buffer, const Samples& stream, std::size_t period_index,
            unsigned long period = kPeriod) {
  return buffer.recordCallback(stream.data() + period_index * period, nullptr, period, nullptr, 0);
}

TEST(AudioBuffer, NullInputChangesNothing) {
  AudioBuffer buffer(80000);
  const Samples stream = stream_with_frame(2.0, 0.5);
  EXPECT_EQ(buffer.recordCallback(nullptr, nullptr, kPeriod, nullptr, 0), paContinue);
  EXPECT_TRUE(buffer.empty());
  EXPECT_TRUE(buffer.raw_message().empty());
  // Nothing was queued either: the next period decodes from its own samples.
  ASSERT_EQ(deliver(buffer, stream, 0), paAbort);
  EXPECT_EQ(buffer.length(), kPeriod);
}

TEST(AudioBuffer, FailedPeriodKeepsSevenEighths) {
  AudioBuffer buffer(80000);
  const Samples stream = stream_with_frame(4.0, 2.5);
  EXPECT_EQ(deliver(buffer, stream, 0), paContinue);
  EXPECT_TRUE(buffer.empty());
  EXPECT_TRUE(buffer.samples().empty());
  ASSERT_EQ(deliver(buffer, stream, 1), paAbort);
  EXPECT_EQ(buffer.length(), kPeriod - kPeriod / 8 + kPeriod);
}

TEST(AudioBuffer, SuccessKeepsTheMessageAndTheWindow) {
  AudioBuffer buffer(80000);
  const Samples stream = stream_with_frame(2.0, 0.4);
  ASSERT_EQ(deliver(buffer, stream, 0), paAbort);
  EXPECT_EQ(buffer.raw_message(), RawMessage_t(kMessage.begin(), kMessage.end()));
  EXPECT_EQ(buffer.samples(), stream);
  EXPECT_FALSE(buffer.empty());

  buffer.clear();
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(buffer.length(), 0u);
  EXPECT_EQ(buffer.raw_message(), RawMessage_t(kMessage.begin(), kMessage.end()));
}

TEST(AudioBuffer, FrameStraddlingTwoPeriodsDecodesOnTheSecond) {
  AudioBuffer buffer(80000);
  // Starts 1.5 s into the first period, ends in the second.
  const Samples stream = stream_with_frame(4.0, 1.5);
  EXPECT_EQ(deliver(buffer, stream, 0), paContinue);
  EXPECT_EQ(deliver(buffer, stream, 1), paAbort);
  EXPECT_EQ(buffer.raw_message(), RawMessage_t(kMessage.begin(), kMessage.end()));
}

TEST(AudioBuffer, LongListenStaysWithinCapacityAndFindsALateFrame) {
  // Without a bound the window would pass 80000 samples at the sixth
  // attempt; the frame arrives in the ninth period.
  AudioBuffer buffer(80000);
  const Samples stream = stream_with_frame(18.0, 16.4);
  for (std::size_t period = 0; period < 8; ++period) {
    ASSERT_EQ(deliver(buffer, stream, period), paContinue) << period;
  }
  ASSERT_EQ(deliver(buffer, stream, 8), paAbort);
  EXPECT_EQ(buffer.length(), 80000u);
  EXPECT_EQ(buffer.raw_message(), RawMessage_t(kMessage.begin(), kMessage.end()));
}

TEST(AudioBuffer, CapacityGivenAtConstructionBoundsTheWindow) {
  AudioBuffer small(20000);
  const Samples stream = stream_with_frame(8.0, 6.6);
  for (std::size_t period = 0; period < 3; ++period) ASSERT_EQ(deliver(small, stream, period), paContinue);
  ASSERT_EQ(deliver(small, stream, 3), paAbort);
  EXPECT_EQ(small.length(), 20000u);
}

TEST(AudioBuffer, ReadersCopySafelyWhileCallbacksRun) {
  // The page's thread reads the window and the message while the audio
  // thread delivers periods.
  AudioBuffer buffer(80000);
  const Samples stream = stream_with_frame(12.0, 10.3);
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (std::size_t period = 0; period < 6; ++period) {
      if (deliver(buffer, stream, period, 8000) == paAbort) break;
    }
    buffer.clear();
    for (std::size_t period = 0; period < 12; ++period) {
      if (deliver(buffer, stream, period, 8000) == paAbort) break;
    }
    done = true;
  });
  std::size_t reads = 0;
  while (!done) {
    const Samples window = buffer.samples();
    const RawMessage_t message = buffer.raw_message();
    EXPECT_TRUE(message.empty() || message.size() == 10u);
    EXPECT_LE(window.size(), 80000u);
    ++reads;
  }
  audio.join();
  EXPECT_GT(reads, 0u);
  EXPECT_EQ(buffer.raw_message(), RawMessage_t(kMessage.begin(), kMessage.end()));
}

}  // namespace
