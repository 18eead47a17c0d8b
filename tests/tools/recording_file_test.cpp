// Audio files made into the bytes the decoder takes, in-process.
#include "tools/recording_file.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "demod/synth.h"
#include "sound_files.h"
#include "tools/sample_file.h"

namespace {

namespace fs = std::filesystem;
using Samples = std::vector<unsigned char>;

const demod::MessageBytes kMessage = {0x5e, 0x71, 0x0a, 0x1a, 0xff, 0x00, 0x80, 0x7f, 0x42, 0x24};

unsigned char byte_of(int sample) {
  return static_cast<unsigned char>(static_cast<signed char>(sample));
}

TEST(StreamSample, SignedBytesAtTheLevelRecorded) {
  const struct {
    float value;
    int sample;
  } cases[] = {
      {0.0f, 0},
      {0.5f, 64},
      {-0.5f, -64},
      {100.0f / 128, 100},
      {-100.0f / 128, -100},
      {0.3f / 128, 0},
      {0.6f / 128, 1},
      {-0.6f / 128, -1},  // rounded, not cut
      {-1.0f, -128},
      {1.0f, 127},
      {32767.0f / 32768, 127},
      {4.0f, 127},
      {-4.0f, -128},  // beyond full scale: clamped
      {std::numeric_limits<float>::quiet_NaN(), 0},
      {std::numeric_limits<float>::infinity(), 127},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sirko_tool::stream_sample(c.value), byte_of(c.sample)) << c.value;
  }
}

class RecordingFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::path(testing::TempDir()) / "sirko-recording-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // Writes 16-bit samples, which every format below takes exactly as far as
  // its own width goes.
  bool write_wide(const std::string& file, int format, int rate,
                  const std::vector<short>& interleaved, int channels = 1) const {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    if (!sf_format_check(&info)) return false;
    SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &info);
    if (sound == nullptr) return false;
    const auto frames = static_cast<sf_count_t>(interleaved.size() / channels);
    const bool written = sf_writef_short(sound, interleaved.data(), frames) == frames;
    return sf_close(sound) == 0 && written;
  }

  fs::path dir_;
};

std::vector<short> widened(const Samples& samples) {
  std::vector<short> wide;
  for (unsigned char sample : samples) {
    wide.push_back(static_cast<short>(static_cast<signed char>(sample) * 256));
  }
  return wide;
}

Samples every_byte() {
  Samples samples(256);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<unsigned char>(i);
  return samples;
}

TEST_F(RecordingFileTest, FilesAt8000GiveBackTheirSamplesExactly) {
  demod::SynthOptions options;
  options.lead_seconds = 0.2;
  options.snr_db = 15.0;  // every byte value near the tones' peaks and zero
  Samples samples = demod::synthesize_frame(kMessage, options);
  const Samples all = every_byte();
  samples.insert(samples.end(), all.begin(), all.end());
  const struct {
    const char* name;
    int format;
  } formats[] = {
      {"16-bit WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {"8-bit WAV, unsigned", SF_FORMAT_WAV | SF_FORMAT_PCM_U8},
      {"8-bit AIFF, signed", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8},
      {"24-bit FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
  };
  for (const auto& format : formats) {
    SCOPED_TRACE(format.name);
    const std::string file = path("recording");
    if (!write_wide(file, format.format, 8000, widened(samples))) {
      std::cout << "libsndfile here cannot write " << format.name << "\n";
      continue;
    }
    EXPECT_EQ(sirko_tool::read_recording(file), samples);
  }
}

TEST_F(RecordingFileTest, WavFileWrittenReadsBackExactly) {
  const std::string file = path("all.wav");
  sirko_tool::write_wav_file(file, every_byte());
  EXPECT_EQ(sirko_tool::read_recording(file), every_byte());
}

TEST_F(RecordingFileTest, ChannelsAreAveraged) {
  // Left and right of each frame: alike, opposite, one silent, both loudest.
  const std::vector<short> stereo = {100 * 256, 100 * 256, 60 * 256, -60 * 256,
                                     -90 * 256, 0,         -32768,   -32768};
  const std::string file = path("stereo.wav");
  ASSERT_TRUE(write_wide(file, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, stereo, 2));
  EXPECT_EQ(sirko_tool::read_recording(file),
            (Samples{byte_of(100), byte_of(0), byte_of(-45), byte_of(-128)}));
}

TEST_F(RecordingFileTest, ResamplingKeepsTheLengthAndTheLevel) {
  constexpr int kRate = 44100;
  const std::vector<float> frame = tool_test::frame_at_rate(kMessage, kRate, 0.5, 0.5);
  const std::string file = path("frame.wav");
  ASSERT_TRUE(tool_test::write_sound_file(file, SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 1, frame));
  const Samples samples = sirko_tool::read_recording(file);
  const double expected_length = frame.size() * 8000.0 / kRate;
  EXPECT_NEAR(static_cast<double>(samples.size()), expected_length, 2.0);
  int peak = 0;
  for (unsigned char sample : samples)
    peak = std::max(peak, std::abs(int{static_cast<signed char>(sample)}));
  // The tones peak at 100 at 44.1 kHz; at 8000 a sample seldom falls on a
  // crest, and the resampler's filter may ring a little above it.
  EXPECT_GE(peak, 95);
  EXPECT_LE(peak, 104);
}

TEST_F(RecordingFileTest, WithoutARecognisedHeaderTheBytesAreTheSamples) {
  const struct {
    const char* name;
    std::string file;
    Samples start;
  } cases[] = {
      {"plain", "rec.raw", {0x00, 0x03, 0x10}},
      {"MPEG frame sync", "rec.raw", {0xff, 0xfb, 0x90, 0x64}},
      {"MPC 2000 marker", "rec.raw", {0x01, 0x04}},
      {"RIFF but not WAVE", "rec.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'X', 'Y', 'Z', '!'}},
      {"name of a headered format", "rec.au", {0x00, 0x7f, 0x80}},
      {"empty", "empty.raw", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Samples samples = c.start;
    if (!samples.empty()) {
      const Samples frame = demod::synthesize_frame(kMessage);
      samples.insert(samples.end(), frame.begin(), frame.end());
    }
    const std::string file = path(c.file);
    sirko_tool::write_sample_file(file, samples);
    EXPECT_EQ(sirko_tool::read_recording(file), samples);
  }
}

TEST_F(RecordingFileTest, UnreadableFilesNameThemselves) {
  const std::string missing = path("missing.wav");
  try {
    sirko_tool::read_recording(missing);
    ADD_FAILURE() << "read a missing file";
  } catch (const sirko_tool::FileError& error) {
    EXPECT_EQ(std::string(error.what()), "cannot open " + missing + ": No such file or directory");
  }
  // A WAV header cut short.
  const std::string cut = path("cut");
  ASSERT_TRUE(write_wide(cut, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, std::vector<short>(100)));
  std::vector<unsigned char> bytes = sirko_tool::read_sample_file(cut);
  bytes.resize(24);
  sirko_tool::write_sample_file(cut, bytes);
  try {
    sirko_tool::read_recording(cut);
    ADD_FAILURE() << "read a cut header";
  } catch (const sirko_tool::FileError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("cannot read " + cut + ": ", 0), 0u) << error.what();
  }
}

}  // namespace
