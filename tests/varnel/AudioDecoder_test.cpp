#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demod/synth.h"
#include "varnel/AudioDecoder.h"

namespace {

using varnel::AudioDecoder;

const demod::MessageBytes kMessage = {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe, 0x00, 0xff};
const char* const kEmpty = "AudioDecoder::decode_buffer : Unable to decode empty buffer";
const char* const kNoData = "AudioDecoder::decode_buffer : No decodable data in buffer";

std::vector<unsigned char> frame() {
  demod::SynthOptions options;
  options.lead_seconds = 0.8;
  options.tail_seconds = 0.6;
  return demod::synthesize_frame(kMessage, options);
}

// The message of the InvalidFrame that decoding `samples` throws.
std::string failure_of(const std::vector<unsigned char>& samples) {
  try {
    AudioDecoder::decode_buffer(samples);
  } catch (const varnel::InvalidFrame& e) {
    return e.what();
  }
  return "no exception";
}

TEST(AudioDecoder, CleanFrameGivesItsTenBytes) {
  const RawMessage_t message = AudioDecoder::decode_buffer(frame());
  EXPECT_EQ(message, RawMessage_t(kMessage.begin(), kMessage.end()));
}

TEST(AudioDecoder, UndecodableBuffersThrowTheirMessages) {
  struct Case { const char* name; std::vector<unsigned char> samples; const char* message; };
  const Case cases[] = {
      {"empty", {}, kEmpty},
      {"shorter than a block window", std::vector<unsigned char>(100, 7), kNoData},
      {"silence", std::vector<unsigned char>(16000, 0), kNoData},
  };
  for (const Case& c : cases) EXPECT_EQ(failure_of(c.samples), c.message) << c.name;
}

TEST(AudioDecoder, FailuresAreDecoderExceptions) {
  EXPECT_THROW(AudioDecoder::decode_buffer({}), varnel::DecoderException);
}

TEST(AudioDecoder, LocatesTheFrame) {
  const AudioDecoder::LocatedFrame located = AudioDecoder::locate_frame(frame());
  EXPECT_EQ(located.message, RawMessage_t(kMessage.begin(), kMessage.end()));
  // Within one symbol (160 samples) of where the first tone begins.
  EXPECT_GE(located.start_sample + 16, 6400u);
  EXPECT_LT(located.start_sample, 6400u + 160u);
}

class DecodeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("audio-decoder-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path dir_;
};

TEST_F(DecodeFile, ReadsRawSamplesByteForByte) {
  // Bytes such as 0x0A and 0x1A must pass untranslated.
  const std::string path = write("frame.raw", frame());
  EXPECT_EQ(AudioDecoder::decode_file(path.c_str()), RawMessage_t(kMessage.begin(), kMessage.end()));
}

TEST_F(DecodeFile, MissingOrEmptyFileIsAnEmptyBuffer) {
  const std::string missing = (dir_ / "missing.raw").string();
  const std::string empty = write("empty.raw", {});
  for (const std::string& path : {missing, empty}) {
    try {
      AudioDecoder::decode_file(path.c_str());
      ADD_FAILURE() << path << " decoded";
    } catch (const varnel::InvalidFrame& e) {
      EXPECT_STREQ(e.what(), kEmpty) << path;
    }
  }
}

}  // namespace
