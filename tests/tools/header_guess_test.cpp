#include "tools/header_guess.h"

#include <gtest/gtest.h>

namespace {

struct GuessCase {
  const char* name;
  std::string path;
  std::vector<unsigned char> first_bytes;
  bool may_carry_header;
};

class HeaderGuessTest : public testing::TestWithParam<GuessCase> {};

TEST_P(HeaderGuessTest, AsksLibsndfileOnlyWhenTheBytesOrTheNameSaySo) {
  EXPECT_EQ(sirko_tool::may_carry_audio_header(GetParam().path, GetParam().first_bytes),
            GetParam().may_carry_header);
}

// Every byte of the literal, NULs included, but not its terminating one.
template <std::size_t N>
std::vector<unsigned char> bytes_of(const char (&text)[N]) {
  return std::vector<unsigned char>(text, text + N - 1);
}

const GuessCase kGuessCases[] = {
    {"Wav", "a.dat", bytes_of("RIFF\x24\0\0\0WAVE"), true},
    {"Flac", "a", bytes_of("fLaC\0\0\0\x22"), true},
    {"Ogg", "a.raw", bytes_of("OggS\0\x02"), true},
    {"Aiff", "a", bytes_of("FORM\0\0\0\0AIFF"), true},
    {"Au", "a", bytes_of(".snd\0\0\0\x18"), true},
    {"Mp3WithTag", "a.bin", bytes_of("ID3\x04\0\0"), true},
    // Near silence in signed 8-bit samples: -1, -5 is an MPEG frame sync,
    // 1, 4 the MPC 2000 format's whole marker.
    {"FrameSyncInSamples", "rec.raw", {0xff, 0xfb, 0x90, 0x64, 0x00}, false},
    {"MpcMarkerInSamples", "rec.raw", {0x01, 0x04, 0x00, 0x00}, false},
    {"Mp3ByItsName", "song.MP3", {0xff, 0xfb, 0x90, 0x64}, true},
    {"MarkerlessByName", "sample.sds", {0xf0, 0x7e, 0x00, 0x01}, true},
    // libsndfile would read a headerless .au file as mu-law; it stays raw.
    {"MarkedNameOnly", "rec.au", {0x00, 0x01, 0x02}, false},
    {"DotInDirectoryOnly", "dir.mp3/rec", {0xff, 0xfb}, false},
    {"Empty", "empty.raw", {}, false},
    {"ShorterThanAMarker", "x", bytes_of("RIF"), false},
};

INSTANTIATE_TEST_SUITE_P(Files, HeaderGuessTest, testing::ValuesIn(kGuessCases),
                         [](const testing::TestParamInfo<GuessCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
