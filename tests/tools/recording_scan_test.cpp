// The window scan over recordings made with the frame synthesizer.
#include "tools/recording_scan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "demod/synth.h"

namespace {

using sirko_tool::FoundFrame;
using sirko_tool::kMaxWindowSamples;
using sirko_tool::RecordingScan;
using sirko_tool::scan_recording;

constexpr std::size_t kRate = demod::kSampleRate;
const demod::MessageBytes kFirst = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0x01, 0x23};
const demod::MessageBytes kSecond = {0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10, 0x5a, 0xa5};
const demod::MessageBytes kThird = {0x00, 0x00, 0x00, 0x01, 0xff, 0xff, 0xff, 0xfe, 0x80, 0x7f};

const std::size_t kFastFrame = demod::frame_length_samples(1.042);
const std::size_t kSlowFrame = demod::frame_length_samples(0.958);

std::size_t at_seconds(double seconds) { return static_cast<std::size_t>(seconds * kRate); }

struct Placement {
  demod::MessageBytes message;
  std::size_t start;  // sample of the first tone
  double speed;
  // Tones of a frame that fail the check: the first half of this message's
  // frame followed by the second half of another's. The decoder locates it
  // like any frame and then rejects it.
  bool damaged;
};

Placement good(const demod::MessageBytes& message, std::size_t start, double speed = 1.0) {
  return {message, start, speed, false};
}
Placement damaged(std::size_t start) { return {kFirst, start, 1.0, true}; }

struct ScanCase {
  const char* name;
  std::size_t length;  // samples
  std::vector<Placement> frames;
};

std::vector<unsigned char> tones_of(const Placement& placement) {
  demod::SynthOptions options;
  options.speed = placement.speed;
  std::vector<unsigned char> tones = demod::synthesize_frame(placement.message, options);
  if (placement.damaged) {
    const std::vector<unsigned char> other = demod::synthesize_frame(kThird, options);
    std::copy(other.begin() + other.size() / 2, other.end(), tones.begin() + tones.size() / 2);
  }
  return tones;
}

// Signed 8-bit samples: silence with the frames in it. (A faint hiss would
// not be faint: the decoder reads the bytes as unsigned, so -1 is 255.)
std::vector<unsigned char> make_recording(const ScanCase& scan_case) {
  std::vector<unsigned char> samples(scan_case.length, 0);
  for (const Placement& placement : scan_case.frames) {
    const std::vector<unsigned char> tones = tones_of(placement);
    const std::size_t room = std::min(tones.size(), samples.size() - placement.start);
    std::copy(tones.begin(), tones.begin() + static_cast<std::ptrdiff_t>(room),
              samples.begin() + static_cast<std::ptrdiff_t>(placement.start));
  }
  return samples;
}

// The real decoder, watched so that no window exceeds its capacity.
RecordingScan scan_watching_windows(const std::vector<unsigned char>& samples,
                                    std::size_t* largest_window) {
  *largest_window = 0;
  return scan_recording(samples, [largest_window](const std::vector<unsigned char>& window) {
    *largest_window = std::max(*largest_window, window.size());
    return varnel::AudioDecoder::locate_frame(window);
  });
}

void PrintTo(const ScanCase& scan_case, std::ostream* os) { *os << scan_case.name; }

class RecordingScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(RecordingScanTest, FindsEachGoodFrameOnceNearItsStart) {
  const ScanCase& scan_case = GetParam();
  std::size_t largest_window = 0;
  const RecordingScan scan = scan_watching_windows(make_recording(scan_case), &largest_window);
  EXPECT_LE(largest_window, kMaxWindowSamples);

  std::vector<Placement> expected;
  for (const Placement& placement : scan_case.frames) {
    if (!placement.damaged) expected.push_back(placement);
  }
  std::sort(expected.begin(), expected.end(),
            [](const Placement& a, const Placement& b) { return a.start < b.start; });

  ASSERT_EQ(scan.frames.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const FoundFrame& found = scan.frames[i];
    SCOPED_TRACE("frame placed at sample " + std::to_string(expected[i].start));
    EXPECT_EQ(found.message, RawMessage_t(expected[i].message.begin(), expected[i].message.end()));
    const double symbol = demod::kSamplesPerSymbol / expected[i].speed;
    EXPECT_NEAR(static_cast<double>(found.start_sample), static_cast<double>(expected[i].start),
                symbol);
  }
  if (expected.empty()) {
    EXPECT_EQ(scan.failure, "AudioDecoder::decode_buffer : No decodable data in buffer");
  } else {
    EXPECT_EQ(scan.failure, "");
  }
}

// Windows are at most 80000 samples; when a window holds no frame the next
// one starts about 1.6 s before its end. The placements below straddle both
// kinds of edge, sit at the very start and end, and crowd one window. Speeds
// at the ends of the range make the shortest and longest frames.
const ScanCase kScanCases[] = {
    {"OneFrame", at_seconds(2), {good(kFirst, at_seconds(0.5))}},
    {"FrameAtFirstSample", at_seconds(2), {good(kSecond, 0, 1.042)}},
    {"FrameEndingAtLastSample", at_seconds(3), {good(kThird, at_seconds(3) - kSlowFrame, 0.958)}},
    {"RecordingIsOneFrame", kFastFrame, {good(kFirst, 0, 1.042)}},
    {"TwoFramesInOneWindow",
     at_seconds(6),
     {good(kFirst, at_seconds(0.8)), good(kSecond, at_seconds(3.9), 0.958)}},
    // The decoder tells frames apart by the quiet between them; a tenth of a
    // second is enough even when a slow frame follows a fast one.
    {"CloseTogether",
     at_seconds(5),
     {good(kFirst, at_seconds(1), 1.042), good(kSecond, at_seconds(1.1) + kFastFrame, 0.958),
      good(kThird, at_seconds(1.2) + kFastFrame + kSlowFrame, 1.042)}},
    {"SameMessageTwice",
     at_seconds(8),
     {good(kFirst, at_seconds(1.2)), good(kFirst, at_seconds(5.5))}},
    {"AcrossFirstWindowEnd", at_seconds(20), {good(kSecond, at_seconds(9.6), 0.958)}},
    {"AcrossFirstOverlap", at_seconds(20), {good(kFirst, at_seconds(8.0))}},
    {"AcrossSecondOverlap", at_seconds(25), {good(kThird, at_seconds(16.5), 1.042)}},
    {"AcrossSecondWindowEnd", at_seconds(25), {good(kSecond, at_seconds(18.0))}},
    {"LongRecordingManyFrames",
     at_seconds(40),
     {good(kFirst, at_seconds(2.0)), good(kSecond, at_seconds(9.6), 0.958),
      good(kThird, at_seconds(14.0), 1.042), good(kFirst, at_seconds(21.3)),
      good(kSecond, at_seconds(29.5), 1.02), good(kThird, at_seconds(40) - kSlowFrame, 0.958)}},
    // The decoder settles on the damaged frame's tones and gives up on the
    // whole window; the good one must still be found, whichever comes first.
    {"DamagedFrameBeforeGoodOne",
     at_seconds(8),
     {damaged(at_seconds(1.0)), good(kSecond, at_seconds(4.5))}},
    {"DamagedFrameAfterGoodOne",
     at_seconds(8),
     {good(kSecond, at_seconds(1.0)), damaged(at_seconds(4.5))}},
    {"NoFrame", at_seconds(25), {}},
    {"OnlyADamagedFrame", at_seconds(4), {damaged(at_seconds(1.0))}},
};

INSTANTIATE_TEST_SUITE_P(Recordings, RecordingScanTest, testing::ValuesIn(kScanCases),
                         [](const testing::TestParamInfo<ScanCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(RecordingScanEdges, TooShortForAFrameGivesTheDecodersMessages) {
  EXPECT_EQ(scan_recording({}).failure,
            "AudioDecoder::decode_buffer : Unable to decode empty buffer");
  EXPECT_EQ(scan_recording(std::vector<unsigned char>(100, 0)).failure,
            "AudioDecoder::decode_buffer : No decodable data in buffer");
}

TEST(RecordingScanEdges, FrameInOffsetBinarySamples) {
  demod::SynthOptions options;
  options.encoding = demod::SampleEncoding::unsigned8;
  options.lead_seconds = 11.0;  // past the first window
  options.tail_seconds = 1.0;
  const RecordingScan scan = scan_recording(demod::synthesize_frame(kFirst, options));
  ASSERT_EQ(scan.frames.size(), 1u);
  EXPECT_NEAR(static_cast<double>(scan.frames[0].start_sample), 11.0 * kRate,
              demod::kSamplesPerSymbol);
}

// A stand-in decoder over recordings in which a frame is a run of one byte
// value, marked by kRunStart on its first sample. Like the real decoder, it
// reports the first whole frame, and it gives up on a window that holds a
// damaged frame or that begins with the tail of a frame.
constexpr unsigned char kRunStart = 0xf0;
constexpr unsigned char kDamagedRun = 0xee;

struct FrameRun {
  unsigned char value;  // also every byte of the message reported
  std::size_t start;
  std::size_t length;
};

std::vector<unsigned char> run_recording(std::size_t length, const std::vector<FrameRun>& runs) {
  std::vector<unsigned char> samples(length, 0);
  for (const FrameRun& run : runs) {
    std::fill_n(samples.begin() + static_cast<std::ptrdiff_t>(run.start), run.length, run.value);
    samples[run.start] = kRunStart;
  }
  return samples;
}

varnel::AudioDecoder::LocatedFrame decode_runs(const std::vector<unsigned char>& window) {
  const bool starts_in_tail = !window.empty() && window[0] != 0 && window[0] != kRunStart;
  if (starts_in_tail || std::count(window.begin(), window.end(), kDamagedRun) > 0) {
    throw varnel::InvalidFrame("no frame");
  }
  const auto start = std::find(window.begin(), window.end(), kRunStart);
  if (start == window.end() || start + 1 == window.end()) throw varnel::InvalidFrame("no frame");
  const unsigned char value = start[1];
  const auto end =
      std::find_if(start + 1, window.end(), [&](unsigned char s) { return s != value; });
  if (end == window.end()) throw varnel::InvalidFrame("no frame");  // cut off by the window
  return {RawMessage_t(10, value), static_cast<std::size_t>(start - window.begin())};
}

struct RunCase {
  const char* name;
  std::size_t length;
  std::vector<FrameRun> runs;
  std::vector<std::size_t> found;  // starts of the frames to be reported
};

void PrintTo(const RunCase& run_case, std::ostream* os) { *os << run_case.name; }

class RecordingScanRunsTest : public testing::TestWithParam<RunCase> {};

TEST_P(RecordingScanRunsTest, ReportsTheseFrames) {
  const RecordingScan scan =
      scan_recording(run_recording(GetParam().length, GetParam().runs), decode_runs);
  std::vector<std::size_t> starts;
  for (const FoundFrame& frame : scan.frames) starts.push_back(frame.start_sample);
  EXPECT_EQ(starts, GetParam().found);
}

const RunCase kRunCases[] = {
    // The search for frames hidden by the damaged one finds the good one,
    // and so does the next window, which overlaps this one: one frame.
    {"SeenFromTwoWindows",
     at_seconds(15),
     {{kDamagedRun, at_seconds(2.5), kFastFrame},
      {0x42, kMaxWindowSamples - kFastFrame - at_seconds(0.5), kFastFrame}},
     {kMaxWindowSamples - kFastFrame - at_seconds(0.5)}},
    // After a frame the search goes on where the fastest frame would end; a
    // slower one's last tones are still there and must not hide the next.
    {"CloseAfterASlowFrame",
     at_seconds(5),
     {{0x42, at_seconds(1), kSlowFrame}, {0x43, at_seconds(1.05) + kSlowFrame, kFastFrame}},
     {at_seconds(1), at_seconds(1.05) + kSlowFrame}},
};

INSTANTIATE_TEST_SUITE_P(StandIn, RecordingScanRunsTest, testing::ValuesIn(kRunCases),
                         [](const testing::TestParamInfo<RunCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
