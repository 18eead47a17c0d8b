#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "demod/demod.h"
#include "demod/synth.h"
#include "frames.h"

namespace {

using demod::SampleEncoding;
using test_frames::kMessage;
using test_frames::recording;
using Message = std::array<unsigned char, 10>;

constexpr Message kUntouched = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};

int decode(const std::vector<unsigned char>& samples, Message& message) {
  message = kUntouched;
  return DecodeBuffer(samples.data(), static_cast<int>(samples.size()), message.data(), 1);
}

struct CleanCase {
  double speed;
  double seconds;   // buffer length
  double at;        // where the frame starts
  SampleEncoding encoding;
};

class CleanFrame : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanFrame, DecodesToTheTransmittedBytes) {
  const CleanCase& c = GetParam();
  demod::SynthOptions options;
  options.speed = c.speed;
  options.encoding = c.encoding;
  Message message;
  EXPECT_EQ(decode(recording(c.seconds, c.at, options), message), 0);
  EXPECT_EQ(message, kMessage);
}

// The speed range is the transmitter's clock tolerance, edges included; the
// positions cover a frame at the very start, in the middle and at the very end.
INSTANTIATE_TEST_SUITE_P(
    SpeedsPositionsAndEncodings, CleanFrame,
    ::testing::Values(
        CleanCase{1.000, 3.0, 1.0, SampleEncoding::signed8},
        CleanCase{1.000, 3.0, 1.0, SampleEncoding::unsigned8},
        CleanCase{0.958, 2.0, 0.0, SampleEncoding::signed8},
        CleanCase{0.958, 10.0, 8.85, SampleEncoding::unsigned8},
        CleanCase{0.970, 6.0, 4.4, SampleEncoding::signed8},
        CleanCase{0.985, 4.0, 0.3, SampleEncoding::unsigned8},
        CleanCase{1.015, 8.0, 6.9, SampleEncoding::signed8},
        CleanCase{1.030, 3.0, 1.0, SampleEncoding::signed8},
        CleanCase{1.030, 5.0, 2.2, SampleEncoding::unsigned8},
        CleanCase{1.042, 2.0, 0.9, SampleEncoding::unsigned8},
        CleanCase{1.042, 10.0, 5.0, SampleEncoding::signed8},
        CleanCase{1.042, 10.0, 0.0, SampleEncoding::unsigned8}),
    [](const ::testing::TestParamInfo<CleanCase>& info) {
      const CleanCase& c = info.param;
      auto millis = [](double value) { return std::to_string(static_cast<int>(value * 1000 + 0.5)); };
      return "speed" + millis(c.speed) + "_len" + millis(c.seconds) + "_at" + millis(c.at) +
             (c.encoding == SampleEncoding::signed8 ? "_signed" : "_unsigned");
    });

TEST(DecodeBuffer, FrameInNoiseStillDecodes) {
  // 6 dB leaves each 3-block window of a tone well above the noise's share
  // of the 16 tones; it is the level a device a hand's width away gives.
  demod::SynthOptions options;
  options.snr_db = 6.0;
  options.seed = 7;
  options.speed = 1.02;
  Message message;
  EXPECT_EQ(decode(recording(4.0, 1.5, options), message), 0);
  EXPECT_EQ(message, kMessage);
}

TEST(DecodeBuffer, FlippedCrcBitIsRepairedButNotAccepted) {
  std::vector<unsigned char> information = demod::information_symbols(kMessage);
  information[21] ^= 4;
  std::unique_ptr<unsigned char[]> coded(c_conv(information.data(), 24, 3));
  demod::SynthOptions options;
  options.lead_seconds = 1.0;
  options.tail_seconds = 1.0;
  const std::vector<unsigned char> samples =
      demod::synthesize_symbols(std::vector<unsigned char>(coded.get(), coded.get() + 52), options);
  Message message;
  EXPECT_EQ(decode(samples, message), 1);
  EXPECT_EQ(message, kUntouched);
}

TEST(DecodeBuffer, SilenceFailsItsCheck) {
  Message message;
  EXPECT_EQ(decode(std::vector<unsigned char>(24000, 0), message), 2);
  EXPECT_EQ(message, kUntouched);
}

TEST(DecodeBuffer, InputsTooShortForACandidate) {
  for (std::size_t count : {1, 64, 127, 128, 1000}) {
    Message message;
    EXPECT_EQ(decode(std::vector<unsigned char>(count, 0), message), 4) << count;
    EXPECT_EQ(message, kUntouched) << count;
  }
}

TEST(DecodeBuffer, BadArgumentsReturn4WithoutReading) {
  Message message = kUntouched;
  const unsigned char sample = 0;
  EXPECT_EQ(DecodeBuffer(nullptr, 100, message.data(), 1), 4);
  EXPECT_EQ(DecodeBuffer(&sample, 0, message.data(), 1), 4);
  EXPECT_EQ(DecodeBuffer(&sample, -5, message.data(), 1), 4);
  EXPECT_EQ(DecodeBuffer(&sample, 1, nullptr, 1), 4);
  EXPECT_EQ(message, kUntouched);
}

TEST(DecodeBuffer, InputLongerThanTenSecondsIsAnalysedWhole) {
  Message message;
  EXPECT_EQ(decode(recording(13.0, 11.5, {}), message), 0);
  EXPECT_EQ(message, kMessage);
}

TEST(DecodeBuffer, ShortBlockModeRunsSafely) {
  // The 16-sample mode expects symbols half as long; a 32-sample frame is not
  // what it looks for, but every input must come back with a code.
  Message message;
  const int code = DecodeBuffer(recording(3.0, 1.0, {}).data(), 24000, message.data(), 0);
  EXPECT_TRUE(code == 0 || code == 1 || code == 2 || code == 4) << code;
}

TEST(DecodeBuffer, ReportsWhereTheFrameStarts) {
  demod::SynthOptions options;
  options.speed = 0.97;
  const std::vector<unsigned char> samples = recording(5.0, 2.5, options);
  Message message;
  demod_trace trace{};
  ASSERT_EQ(demod_decode(samples.data(), static_cast<int>(samples.size()), message.data(), 1,
                         demod_default_kernels, &trace, nullptr),
            0);
  const float start = trace.window_start + trace.accepted_start * 32;
  // The comb sits where each 3-block window lies inside one symbol: within a
  // symbol after the first tone begins.
  EXPECT_GE(start, 2.5f * 8000 - 16);
  EXPECT_LT(start, 2.5f * 8000 + 160 / 0.97f);
  EXPECT_NEAR(trace.alpha, 0.97f, 0.002f);
}

}  // namespace
