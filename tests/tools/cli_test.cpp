// The built sirko-audio binary, run as a user would run it.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "demod/synth.h"
#include "sound_files.h"
#include "tool_test.h"

namespace {

namespace fs = std::filesystem;

const std::string kMessage = "0123456789abcdef0123";
const demod::MessageBytes kMessageBytes = {0x01, 0x23, 0x45, 0x67, 0x89,
                                           0xab, 0xcd, 0xef, 0x01, 0x23};
// kMessage as decode prints it, plain and in JSON.
const std::string kMessageText = kMessage + " (serial 002468ac, otp1 2023406814, otp2 983331)";
const std::string kMessageJson =
    "\"message\": \"" + kMessage +
    "\", \"serial\": \"002468ac\", \"otp1\": 2023406814, \"otp2\": 983331";
const std::string kNoData = "AudioDecoder::decode_buffer : No decodable data in buffer";
const std::string kEmpty = "AudioDecoder::decode_buffer : Unable to decode empty buffer";

using tool_test::joined;
using tool_test::read_bytes;
using tool_test::ToolRun;
using tool_test::with_times_masked;
using tool_test::write_bytes;

class CliTest : public tool_test::ToolTest {};

// --- encode then decode ------------------------------------------------------

struct RoundTrip {
  std::vector<std::string> encode_options;
  double at_seconds;
  bool json;
};

void PrintTo(const RoundTrip& trip, std::ostream* os) {
  *os << "encode " << joined(trip.encode_options) << (trip.json ? ", decode --json" : ", decode");
}

class CliRoundTrip : public CliTest, public testing::WithParamInterface<RoundTrip> {};

TEST_P(CliRoundTrip, DecodesWhatItEncoded) {
  const RoundTrip& trip = GetParam();
  const std::string frame = path("frame.raw");
  std::vector<std::string> encode = {"encode", kMessage, "-o", frame};
  encode.insert(encode.end(), trip.encode_options.begin(), trip.encode_options.end());
  const ToolRun encoded = run(encode);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_EQ(encoded.out + encoded.err, "");

  const ToolRun decoded = trip.json ? run({"decode", "--json", frame}) : run({"decode", frame});
  EXPECT_EQ(decoded.status, 0);
  EXPECT_EQ(decoded.err, "");
  std::vector<double> times;
  EXPECT_EQ(with_times_masked(decoded.out, &times),
            trip.json ? "{\"file\": \"" + frame + "\", \"at\": T, " + kMessageJson + "}\n"
                      : frame + ": frame at T s: " + kMessageText + "\n");
  ASSERT_EQ(times.size(), 1u);
  // Within a symbol of where the frame was put.
  EXPECT_NEAR(times[0], trip.at_seconds, 0.02);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, CliRoundTrip,
    testing::Values(RoundTrip{{"--lead", "1.3", "--tail", "0.5", "--snr", "20"}, 1.3, false},
                    RoundTrip{{"--lead", "1.3", "--tail", "0.5", "--snr", "20"}, 1.3, true},
                    // Past the decoder's 10 s, in offset-binary samples.
                    RoundTrip{{"--lead=23.5", "--unsigned", "--speed", "0.97"}, 23.5, true}));

// --- encode writes the synthesizer's samples -----------------------------------

struct EncodeOptions {
  std::vector<std::string> arguments;
  demod::SynthOptions options;
};

demod::SynthOptions synth_options(double speed, double amplitude, double lead, double tail,
                                  std::optional<double> snr, uint32_t seed,
                                  demod::SampleEncoding encoding) {
  demod::SynthOptions options;
  options.speed = speed;
  options.amplitude = amplitude;
  options.lead_seconds = lead;
  options.tail_seconds = tail;
  options.snr_db = snr;
  options.seed = seed;
  options.encoding = encoding;
  return options;
}

void PrintTo(const EncodeOptions& encode, std::ostream* os) {
  *os << "encode " << joined(encode.arguments);
}

class CliEncode : public CliTest, public testing::WithParamInterface<EncodeOptions> {};

TEST_P(CliEncode, WritesTheSynthesizersSamples) {
  const std::string frame = path("frame.raw");
  std::vector<std::string> arguments = {"encode", kMessage, "-o", frame};
  arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  const ToolRun encoded = run(arguments);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_EQ(read_bytes(frame), demod::synthesize_frame(kMessageBytes, GetParam().options));
}

constexpr auto kSigned = demod::SampleEncoding::signed8;
constexpr auto kUnsigned = demod::SampleEncoding::unsigned8;

INSTANTIATE_TEST_SUITE_P(
    Options, CliEncode,
    testing::Values(EncodeOptions{{}, synth_options(1.0, 100, 0, 0, std::nullopt, 1, kSigned)},
                    EncodeOptions{{"--speed", "0.958", "--amplitude", "60", "--lead", "0.25",
                                   "--tail", "0.1"},
                                  synth_options(0.958, 60, 0.25, 0.1, std::nullopt, 1, kSigned)},
                    EncodeOptions{{"--snr", "10", "--seed", "7", "--unsigned"},
                                  synth_options(1.0, 100, 0, 0, 10.0, 7, kUnsigned)},
                    EncodeOptions{{"--snr=-3", "--speed=1.042", "--amplitude", "127"},
                                  synth_options(1.042, 127, 0, 0, -3.0, 1, kSigned)}));

// --- decode's lines and exit status over several files ----------------------------

enum class FileKind { frame, silence, empty, missing, directory };

struct DecodeCase {
  const char* name;
  std::vector<FileKind> files;
  int status;
};

void PrintTo(const DecodeCase& decode, std::ostream* os) { *os << decode.name; }

class CliDecode : public CliTest, public testing::WithParamInterface<DecodeCase> {};

TEST_P(CliDecode, ReportsEveryFileAndTheWorstOutcome) {
  std::vector<std::string> arguments = {"decode"};
  std::string expected_out;  // times masked
  std::string expected_err;
  for (std::size_t i = 0; i < GetParam().files.size(); ++i) {
    const std::string file = path("file" + std::to_string(i) + ".raw");
    arguments.push_back(file);
    switch (GetParam().files[i]) {
      case FileKind::frame:
        write_bytes(file, demod::synthesize_frame(kMessageBytes));
        expected_out += file + ": frame at T s: " + kMessageText + "\n";
        break;
      case FileKind::silence:
        write_bytes(file, std::vector<unsigned char>(16000, 0));
        expected_out += file + ": " + kNoData + "\n";
        break;
      case FileKind::empty:
        write_bytes(file, {});
        expected_out += file + ": " + kEmpty + "\n";
        break;
      case FileKind::missing:
        expected_err += "sirko-audio: cannot open " + file + ": No such file or directory\n";
        break;
      case FileKind::directory:
        fs::create_directory(file);
        expected_err += "sirko-audio: cannot open " + file + ": Is a directory\n";
        break;
    }
  }
  const ToolRun decoded = run(arguments);
  EXPECT_EQ(decoded.status, GetParam().status);
  std::vector<double> times;
  EXPECT_EQ(with_times_masked(decoded.out, &times), expected_out);
  EXPECT_EQ(decoded.err, expected_err);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CliDecode,
    testing::Values(DecodeCase{"OneFrame", {FileKind::frame}, 0},
                    DecodeCase{"TwoFrames", {FileKind::frame, FileKind::frame}, 0},
                    DecodeCase{"Silence", {FileKind::silence}, 1},
                    DecodeCase{"FrameAndSilence", {FileKind::frame, FileKind::silence}, 1},
                    DecodeCase{"EmptyFileIsNoFrame", {FileKind::empty}, 1},
                    DecodeCase{"Missing", {FileKind::missing}, 2},
                    DecodeCase{"Directory", {FileKind::directory}, 2},
                    // The others are still decoded.
                    DecodeCase{"MissingAmongOthers",
                               {FileKind::frame, FileKind::missing, FileKind::silence},
                               2}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST_F(CliTest, JsonEscapesTheFileName) {
  ASSERT_EQ(dir_.string().find_first_of("\"\\"), std::string::npos);
  const std::string file = path("we\"ird\\name\t.raw");
  write_bytes(file, std::vector<unsigned char>(16000, 0));
  const ToolRun decoded = run({"decode", "--json", file});
  EXPECT_EQ(decoded.status, 1);
  EXPECT_EQ(decoded.out, "{\"file\": \"" + dir_.string() +
                             "/we\\\"ird\\\\name\\t.raw\", \"error\": \"" + kNoData + "\"}\n");
}

// --- decode reads audio files of any format, rate and channel count ----------

struct AudioFileCase {
  const char* name;
  int format;
  int rate;
  // The frame on the left channel only, the right one silent: mixing to
  // mono halves its level, which must still decode.
  bool stereo;
};

class CliAudioFile : public CliTest, public testing::WithParamInterface<AudioFileCase> {};

TEST_P(CliAudioFile, DecodesTheFrameAtItsTime) {
  const AudioFileCase& audio = GetParam();
  constexpr double kLead = 0.7;
  const std::vector<float> frame =
      tool_test::frame_at_rate(kMessageBytes, audio.rate, kLead, /*tail_seconds=*/0.4);
  const std::vector<float> samples =
      audio.stereo ? tool_test::interleave({frame, std::vector<float>(frame.size(), 0.0f)}) : frame;
  // The header tells the format, whatever the name says.
  const std::string file = path("recording.dat");
  if (!tool_test::write_sound_file(file, audio.format, audio.rate, audio.stereo ? 2 : 1, samples)) {
    GTEST_SKIP() << "libsndfile here cannot write " << audio.name;
  }
  const ToolRun decoded = run({"decode", "--json", file});
  EXPECT_EQ(decoded.status, 0);
  EXPECT_EQ(decoded.err, "");
  std::vector<double> times;
  EXPECT_EQ(with_times_masked(decoded.out, &times),
            "{\"file\": \"" + file + "\", \"at\": T, " + kMessageJson + "}\n");
  ASSERT_EQ(times.size(), 1u);
  EXPECT_NEAR(times[0], kLead, 0.02);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CliAudioFile,
    testing::Values(
        AudioFileCase{"Wav44100", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, false},
        AudioFileCase{"Wav48000Stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, true},
        AudioFileCase{"WavFloat22050", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, false},
        AudioFileCase{"WavUnsigned8At8000", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000, false},
        AudioFileCase{"Flac44100", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, false},
        AudioFileCase{"OggVorbis48000", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, false}),
    [](const testing::TestParamInfo<AudioFileCase>& info) { return std::string(info.param.name); });

TEST_F(CliTest, BrokenAudioHeaderIsAFailureNamingTheFile) {
  const std::string file = path("cut.wav");
  ASSERT_TRUE(tool_test::write_sound_file(file, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1,
                                          std::vector<float>(8000, 0.0f)));
  std::vector<unsigned char> bytes = read_bytes(file);
  bytes.resize(20);  // within the format chunk
  write_bytes(file, bytes);
  const ToolRun decoded = run({"decode", file});
  EXPECT_EQ(decoded.status, 2);
  EXPECT_EQ(decoded.out, "");
  EXPECT_EQ(decoded.err.rfind("sirko-audio: cannot read " + file + ": ", 0), 0u) << decoded.err;
}

// --- encode from the three fields, and to WAV ----------------------------------

struct FieldsCase {
  std::vector<std::string> fields;  // --serial, --otp1, --otp2
  demod::MessageBytes message;
  std::string printed;  // decode's fields
};

void PrintTo(const FieldsCase& fields, std::ostream* os) { *os << joined(fields.fields); }

class CliEncodeFields : public CliTest, public testing::WithParamInterface<FieldsCase> {};

TEST_P(CliEncodeFields, WritesTheFrameOfThePackedMessage) {
  const FieldsCase& fields = GetParam();
  const std::string frame = path("frame.raw");
  const ToolRun encoded = run({"encode", "--serial", fields.fields[0], "--otp1", fields.fields[1],
                               "--otp2", fields.fields[2], "-o", frame});
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_EQ(read_bytes(frame), demod::synthesize_frame(fields.message));
  const ToolRun decoded = run({"decode", frame});
  EXPECT_EQ(decoded.status, 0);
  EXPECT_NE(decoded.out.find(fields.printed), std::string::npos) << decoded.out;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CliEncodeFields,
    testing::Values(FieldsCase{{"0", "0", "0"}, {}, "(serial 00000000, otp1 0, otp2 0)"},
                    FieldsCase{{"1fffffff", "2147483647", "1048575"},
                               {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
                               "(serial 1fffffff, otp1 2147483647, otp2 1048575)"},
                    // Short and upper-case hexadecimal is the same serial.
                    FieldsCase{{"2468AC", "2023406814", "983331"},
                               kMessageBytes,
                               "(serial 002468ac, otp1 2023406814, otp2 983331)"}));

TEST_F(CliTest, WavFileHoldsTheFrameAt16BitsAndDecodes) {
  const std::string file = path("frame.wav");
  const ToolRun encoded =
      run({"encode", kMessage, "--wav", "--lead", "0.4", "--snr", "30", "-o", file});
  ASSERT_EQ(encoded.status, 0) << encoded.err;

  SF_INFO info{};
  SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &info);
  ASSERT_NE(sound, nullptr) << sf_strerror(nullptr);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(info.samplerate, 8000);
  EXPECT_EQ(info.channels, 1);
  std::vector<short> wide(static_cast<std::size_t>(info.frames));
  EXPECT_EQ(sf_read_short(sound, wide.data(), info.frames), info.frames);
  sf_close(sound);
  demod::SynthOptions options;
  options.lead_seconds = 0.4;
  options.snr_db = 30.0;
  std::vector<short> expected;
  for (unsigned char sample : demod::synthesize_frame(kMessageBytes, options)) {
    expected.push_back(static_cast<short>(static_cast<signed char>(sample) * 256));
  }
  EXPECT_EQ(wide, expected);

  const ToolRun decoded = run({"decode", file});
  EXPECT_EQ(decoded.status, 0);
  std::vector<double> times;
  EXPECT_EQ(with_times_masked(decoded.out, &times),
            file + ": frame at T s: " + kMessageText + "\n");
}

// --- usage errors and help ------------------------------------------------------

struct UsageCase {
  std::vector<std::string> arguments;  // "@out" stands for a file in the test's directory
  std::string names;                   // must appear in the one-line error
};

void PrintTo(const UsageCase& usage, std::ostream* os) {
  *os << "sirko-audio " << joined(usage.arguments);
}

class CliUsage : public CliTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsage, OneLineNamingTheArgument) {
  std::vector<std::string> arguments = GetParam().arguments;
  for (std::string& argument : arguments) {
    if (argument == "@out") argument = path("out.raw");
  }
  const ToolRun result = run(arguments);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("sirko-audio: ", 0), 0u) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_NE(result.err.find(GetParam().names), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(path("out.raw")));
}

std::vector<std::string> encode_with(std::vector<std::string> options) {
  std::vector<std::string> arguments = {"encode", kMessage, "-o", "@out"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  return arguments;
}

std::vector<std::string> encode_fields(const std::string& serial, const std::string& otp1,
                                       const std::string& otp2) {
  return {"encode", "--serial", serial, "--otp1", otp1, "--otp2", otp2, "-o", "@out"};
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, CliUsage,
    testing::Values(
        UsageCase{{}, "no command given"}, UsageCase{{"bogus"}, "unknown command 'bogus'"},
        UsageCase{{"decode"}, "FILE"}, UsageCase{{"decode", "--jsn", "x.raw"}, "'--jsn'"},
        UsageCase{{"encode", "-o", "@out"}, "MESSAGE_HEX"},
        UsageCase{{"encode", "0123", "-o", "@out"}, "MESSAGE_HEX: '0123'"},
        UsageCase{{"encode", "0123456789abcdef012g", "-o", "@out"}, "MESSAGE_HEX"},
        UsageCase{{"encode", kMessage}, "-o"},
        UsageCase{{"encode", kMessage, "-o"}, "-o: needs a value"},
        UsageCase{{"encode", kMessage, kMessage, "-o", "@out"}, "unexpected argument"},
        UsageCase{encode_with({"--speed", "1.05"}), "--speed: 1.05 is outside [0.958, 1.042]"},
        UsageCase{encode_with({"--speed", "0.95"}), "--speed"},
        UsageCase{encode_with({"--speed", "1.0x"}), "--speed: '1.0x' is not a number"},
        UsageCase{encode_with({"--amplitude", "0"}), "--amplitude: 0 is outside (0, 127]"},
        UsageCase{encode_with({"--amplitude", "127.5"}), "--amplitude"},
        UsageCase{encode_with({"--lead", "-0.1"}), "--lead"},
        UsageCase{encode_with({"--tail", "601"}), "--tail"},
        UsageCase{encode_with({"--snr", "nan"}), "--snr"},
        UsageCase{encode_with({"--seed", "4294967296"}), "--seed"},
        UsageCase{encode_with({"--unsigned=yes"}), "--unsigned"},
        UsageCase{encode_with({"--wav", "--unsigned"}), "--unsigned: not with --wav"},
        UsageCase{encode_with({"--serial", "1"}), "MESSAGE_HEX: not with --serial"},
        UsageCase{{"encode", "--serial", "1", "--otp1", "2", "-o", "@out"}, "--otp2: missing"},
        UsageCase{{"encode", "--otp2", "2", "-o", "@out"}, "--serial: missing"},
        UsageCase{encode_fields("20000000", "0", "0"),
                  "--serial: 20000000 does not fit in 29 bits"},
        UsageCase{encode_fields("000000001", "0", "0"), "--serial: '000000001'"},
        UsageCase{encode_fields("0x1f", "0", "0"), "--serial: '0x1f'"},
        UsageCase{encode_fields("-1", "0", "0"), "--serial: '-1'"},
        UsageCase{encode_fields("", "0", "0"), "--serial: ''"},
        UsageCase{encode_fields("0", "2147483648", "0"),
                  "--otp1: 2147483648 does not fit in 31 bits"},
        UsageCase{encode_fields("0", "99999999999999999999999", "0"),
                  "--otp1: 99999999999999999999999"},
        UsageCase{encode_fields("0", "0", "1048576"), "--otp2: 1048576 does not fit in 20 bits"},
        UsageCase{encode_fields("0", "0", "+5"), "--otp2: '+5'"},
        UsageCase{encode_fields("0", "0", "5 "), "--otp2: '5 '"},
        UsageCase{{"listen", "--timeout", "0"}, "--timeout: '0'"},
        UsageCase{{"listen", "--timeout", "11"}, "--timeout: '11'"},
        UsageCase{{"listen", "--timeout", "2.5"}, "--timeout: '2.5'"},
        UsageCase{{"listen", "--timeout=abc"}, "--timeout: 'abc'"},
        UsageCase{{"listen", "--timeout"}, "--timeout: needs a value"},
        UsageCase{{"listen", "now"}, "unexpected argument 'now'"}));

TEST_F(CliTest, HelpOnTheToolAndEachCommand) {
  const struct {
    std::vector<std::string> arguments;
    std::string usage;
  } cases[] = {
      {{"--help"}, "Usage: sirko-audio COMMAND"},
      {{"help"}, "Usage: sirko-audio COMMAND"},
      {{"decode", "--help"}, "Usage: sirko-audio decode"},
      {{"encode", "--help"}, "Usage: sirko-audio encode"},
      {{"listen", "--help"}, "Usage: sirko-audio listen"},
      // Help wins over mistakes in the rest of the line.
      {{"encode", "--bogus", "-h"}, "Usage: sirko-audio encode"},
  };
  for (const auto& help : cases) {
    const ToolRun result = run(help.arguments);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind(help.usage, 0), 0u) << result.out;
    EXPECT_EQ(result.err, "");
  }
}

TEST_F(CliTest, UnwritableOutputFileIsAFailure) {
  const std::string file = path("no-such-dir/out.raw");
  const ToolRun result = run({"encode", kMessage, "-o", file});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "sirko-audio: cannot write " + file + ": No such file or directory\n");
}

}  // namespace
