// The built sirko-audio binary, run as a user would run it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "demod/synth.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string kMessage = "0123456789abcdef0123";
const demod::MessageBytes kMessageBytes = {0x01, 0x23, 0x45, 0x67, 0x89,
                                           0xab, 0xcd, 0xef, 0x01, 0x23};
const std::string kNoData = "AudioDecoder::decode_buffer : No decodable data in buffer";
const std::string kEmpty = "AudioDecoder::decode_buffer : Unable to decode empty buffer";

struct ToolRun {
  int status;  // exit status, or -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

std::string read_text(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> read_bytes(const fs::path& path) {
  const std::string text = read_text(path);
  return std::vector<unsigned char>(text.begin(), text.end());
}

void write_bytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

// Replaces each time in seconds ("1.304": digits, a point, three digits)
// with "T", so that output can be compared whole; the times go to *times.
std::string with_times_masked(const std::string& text, std::vector<double>* times) {
  const auto digit = [&](std::size_t i) {
    return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
  };
  std::string masked;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i;
    while (digit(end)) ++end;
    if (end == i) {
      masked += text[i++];
      continue;
    }
    if (end < text.size() && text[end] == '.' && digit(end + 1) && digit(end + 2) &&
        digit(end + 3) && !digit(end + 4)) {
      times->push_back(std::stod(text.substr(i, end + 4 - i)));
      masked += 'T';
      i = end + 4;
    } else {
      masked.append(text, i, end - i);
      i = end;
    }
  }
  return masked;
}

// Each test gets its own directory for the files it makes and the tool's output.
class CliTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::path(testing::TempDir()) / "sirko-audio-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  ToolRun run(const std::vector<std::string>& arguments) const {
    const std::string out_path = (dir_ / ".stdout").string();
    const std::string err_path = (dir_ / ".stderr").string();
    std::vector<std::string> words = {SIRKO_AUDIO_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      ADD_FAILURE() << "cannot run " << argv[0];
      return {-1, "", ""};
    }
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    return {WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1, read_text(out_path),
            read_text(err_path)};
  }

  fs::path dir_;
};

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
            trip.json
                ? "{\"file\": \"" + frame + "\", \"at\": T, \"message\": \"" + kMessage + "\"}\n"
                : frame + ": frame at T s: " + kMessage + "\n");
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
        expected_out += file + ": frame at T s: " + kMessage + "\n";
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
        UsageCase{encode_with({"--unsigned=yes"}), "--unsigned"}));

TEST_F(CliTest, HelpOnTheToolAndEachCommand) {
  const struct {
    std::vector<std::string> arguments;
    std::string usage;
  } cases[] = {
      {{"--help"}, "Usage: sirko-audio COMMAND"},
      {{"help"}, "Usage: sirko-audio COMMAND"},
      {{"decode", "--help"}, "Usage: sirko-audio decode"},
      {{"encode", "--help"}, "Usage: sirko-audio encode"},
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
