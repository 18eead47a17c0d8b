#include <gtest/gtest.h>

#include <boost/numeric/conversion/cast.hpp>
#include <chrono>
#include <limits>
#include <portaudiocpp/Exception.hxx>
#include <thread>
#include <vector>

#include "demod/synth.h"
#include "test_microphone.h"
#include "varnel/AudioBuffer.h"
#include "varnel/AudioRecorder.h"
#include "varnel/AudioSystem.h"

namespace {

using test_audio::Microphone;
using varnel::AudioRecorder;
using Samples = std::vector<unsigned char>;

const demod::MessageBytes kMessage = {0x5e, 0x71, 0x0a, 0x1a, 0xff, 0x00, 0x80, 0x7f, 0x42, 0x24};

// The accumulator, watched: every byte and period the callback is handed.
class WatchedBuffer : public varnel::IAudioBuffer {
 public:
  int recordCallback(const void* input, void* output, unsigned long frame_count,
                     const PaStreamCallbackTimeInfo* time_info, PaStreamCallbackFlags flags) override {
    const auto* bytes = static_cast<const unsigned char*>(input);
    if (bytes != nullptr) seen.insert(seen.end(), bytes, bytes + frame_count);
    periods.push_back(frame_count);
    const int result = buffer.recordCallback(input, output, frame_count, time_info, flags);
    if (result == paAbort) decoded_in_period = periods.size();
    return result;
  }
  void clear() override { buffer.clear(); }
  std::size_t length() const override { return buffer.length(); }
  bool empty() const override { return buffer.empty(); }

  varnel::AudioBuffer buffer{80000};
  Samples seen;
  std::vector<unsigned long> periods;
  std::size_t decoded_in_period = 0;
};

// Ends the stream after a given number of periods.
class CountingBuffer : public varnel::IAudioBuffer {
 public:
  explicit CountingBuffer(std::size_t periods) : wanted_(periods) {}
  int recordCallback(const void*, void*, unsigned long frame_count, const PaStreamCallbackTimeInfo*,
                     PaStreamCallbackFlags) override {
    periods.push_back(frame_count);
    return periods.size() >= wanted_ ? paAbort : paContinue;
  }
  void clear() override {}
  std::size_t length() const override { return 0; }
  bool empty() const override { return true; }

  std::vector<unsigned long> periods;

 private:
  std::size_t wanted_;
};

// Polls as the capture run does, every 100 ms; false if still active at the limit.
bool wait_until_inactive(const AudioRecorder& recorder, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (recorder.isActive()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

// As the capture plug-in makes it: 1 second, then 2-second periods.
class CaptureRecorder : public AudioRecorder {
 public:
  CaptureRecorder() : AudioRecorder(1.0, 8000) { setPeriod(2.0); }
};

TEST(AudioRecorder, PacedFrameDecodesInThePeriodThatCompletesItAndTheStreamEnds) {
  // The frame starts at 2.6 s: only the second 2-second period completes it.
  demod::SynthOptions options;
  options.lead_seconds = 2.6;
  Samples file = demod::synthesize_frame(kMessage, options);
  file.resize(32000, 0);
  auto microphone = Microphone::paced(file);
  varnel::AudioSystemSession audio;
  test_audio::expect_default_input_is_alsa_default();

  CaptureRecorder recorder;
  WatchedBuffer watched;
  recorder.start(watched);
  const bool ended = wait_until_inactive(recorder, std::chrono::seconds(20));
  EXPECT_NO_THROW(recorder.stop());
  ASSERT_TRUE(ended) << watched.periods.size() << " periods";

  EXPECT_EQ(watched.decoded_in_period, 2u);
  EXPECT_EQ(watched.periods, std::vector<unsigned long>({16000, 16000}));
  EXPECT_EQ(watched.seen, file);
  EXPECT_EQ(watched.buffer.raw_message(), RawMessage_t(kMessage.begin(), kMessage.end()));
  EXPECT_EQ(watched.buffer.samples(), Samples(file.begin() + 2000, file.end()));
  EXPECT_THROW(recorder.stop(), portaudio::PaException);
}

TEST(AudioRecorder, PeriodSetsTheFramesEachCallbackDelivers) {
  struct Case { double period; unsigned long frames; };
  for (const Case& c : {Case{2.0, 16000}, Case{0.5, 4000}}) {
    SCOPED_TRACE(c.period);
    auto microphone = Microphone::fast(Samples(3 * c.frames, 1));
    varnel::AudioSystemSession audio;
    test_audio::expect_default_input_is_alsa_default();
    AudioRecorder recorder(1.0, 8000);
    recorder.setPeriod(c.period);
    EXPECT_EQ(recorder.framesPerBuffer(), c.frames);
    CountingBuffer counting(3);
    recorder.start(counting);
    ASSERT_TRUE(wait_until_inactive(recorder, std::chrono::seconds(10)));
    recorder.stop();
    EXPECT_EQ(counting.periods, std::vector<unsigned long>(3, c.frames));
  }
}

TEST(AudioRecorder, StoppingAClosedStreamThrows) {
  auto microphone = Microphone::fast(Samples(16000, 0));
  varnel::AudioSystemSession audio;
  CaptureRecorder recorder;
  EXPECT_THROW(recorder.stop(), portaudio::PaException);
  EXPECT_THROW(recorder.isActive(), portaudio::PaException);
  CountingBuffer counting(1);
  recorder.start(counting);
  ASSERT_TRUE(wait_until_inactive(recorder, std::chrono::seconds(10)));
  EXPECT_NO_THROW(recorder.stop());
  EXPECT_THROW(recorder.stop(), portaudio::PaException);
}

TEST(AudioRecorder, MissingOrUnsuitableMicrophoneIsRefusedBeforeAnyStreamOpens) {
  struct Case {
    const char* name;
    std::unique_ptr<Microphone> (*make)();
    const char* message;
  };
  const Case cases[] = {
      {"none", Microphone::none, "Unable to find a microphone"},
      {"unsuitable", Microphone::unsuitable,
       "Unable to set the microphone to the desired sample rate and format"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto microphone = c.make();
    varnel::AudioSystemSession audio;
    CaptureRecorder recorder;
    WatchedBuffer watched;
    try {
      recorder.start(watched);
      ADD_FAILURE() << "started";
    } catch (const varnel::RecorderException& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_THROW(recorder.isActive(), portaudio::PaException);  // still closed
  }
}

TEST(AudioRecorder, PeriodConversionSaturatesOrThrows) {
  AudioRecorder recorder(2.0, 8000);
  recorder.setPeriod(1e300);
  EXPECT_EQ(recorder.framesPerBuffer(), std::numeric_limits<unsigned long>::max());
  recorder.setPeriod(0.99999);
  EXPECT_EQ(recorder.framesPerBuffer(), 7999u);
  EXPECT_THROW(recorder.setPeriod(-1.0), boost::numeric::bad_numeric_cast);
}

}  // namespace
