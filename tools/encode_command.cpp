#include <algorithm>
#include <cctype>
#include <iterator>

#include "demod/synth.h"
#include "tools/arguments.h"
#include "tools/commands.h"
#include "tools/message_fields.h"
#include "tools/recording_file.h"
#include "tools/sample_file.h"
#include "varnel/HexUtils.h"

namespace sirko_tool {

namespace {

const char kEncodeHelp[] =
    "Usage: sirko-audio encode MESSAGE_HEX -o FILE [options]\n"
    "       sirko-audio encode --serial HEX --otp1 N --otp2 N -o FILE [options]\n"
    "\n"
    "Writes the frame that carries a message to FILE as headerless 8-bit\n"
    "samples at 8000 per second, as a device would play it. The message is\n"
    "MESSAGE_HEX (10 bytes as 20 hexadecimal digits) or its three fields.\n"
    "\n"
    "Options:\n"
    "  -o FILE          where to write the samples (required)\n"
    "  --serial HEX     the serial, 1 to 8 hexadecimal digits, at most 1fffffff\n"
    "  --otp1 N         the first one-time value, 0 to 2147483647\n"
    "  --otp2 N         the second one-time value, 0 to 1048575\n"
    "                   (the three go together, instead of MESSAGE_HEX)\n"
    "  --wav            write a WAV file instead: mono, 16-bit, 8000 per second\n"
    "  --speed A        the transmitter's speed factor, 0.958 to 1.042 (default 1)\n"
    "  --snr DB         add white noise at this signal-to-noise ratio, -60 to 200 dB\n"
    "                   (default: no noise)\n"
    "  --amplitude N    peak of each tone, above 0 and at most 127 (default 100)\n"
    "  --lead S         seconds of silence before the frame, 0 to 600 (default 0)\n"
    "  --tail S         seconds of silence after the frame, 0 to 600 (default 0)\n"
    "  --seed N         seed of the noise, 0 to 4294967295 (default 1)\n"
    "  --unsigned       offset-binary samples (silence is 128) instead of signed;\n"
    "                   not with --wav\n"
    "  -h, --help       show this help\n"
    "\n"
    "Exit status: 0 when the file was written, 2 otherwise.\n";

// Bounds of the numeric options, and what the synthesizer makes sensible.
constexpr double kSlowestSpeed = 0.958;
constexpr double kFastestSpeed = 1.042;
constexpr double kLowestSnr = -60;
constexpr double kHighestSnr = 200;
constexpr double kLargestAmplitude = 127;
// Ten minutes of silence already makes a file of almost 5 MB.
constexpr double kLongestSilence = 600;

demod::MessageBytes parse_message_hex(const std::string& text) {
  demod::MessageBytes message{};
  bool well_formed = text.size() == 2 * message.size();
  for (char c : text) well_formed = well_formed && std::isxdigit(static_cast<unsigned char>(c));
  if (!well_formed) throw UsageError("MESSAGE_HEX: '" + text + "' is not 20 hexadecimal digits");
  const std::vector<unsigned char> bytes = varnel::HexUtils::hex_to_binary(text);
  std::copy(bytes.begin(), bytes.end(), message.begin());
  return message;
}

std::string number_text(double value) {
  std::string text = std::to_string(value);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

// `low_open` excludes the low bound itself.
double real_in_range(const ParsedArguments& parsed, const std::string& name, double fallback,
                     double low, double high, bool low_open = false) {
  const std::optional<std::string> text = parsed.value(name);
  if (!text) return fallback;
  const double value = parse_real(name, *text);
  if (value < low || (low_open && value == low) || value > high) {
    throw UsageError(name + ": " + *text + " is outside " + (low_open ? "(" : "[") +
                     number_text(low) + ", " + number_text(high) + "]");
  }
  return value;
}

const char* const kFieldOptions[] = {"--serial", "--otp1", "--otp2"};

// MESSAGE_HEX, or the three fields together.
demod::MessageBytes message_of(const ParsedArguments& parsed) {
  const std::vector<std::string>& positionals = parsed.positionals();
  if (positionals.size() > 1) throw UsageError("unexpected argument '" + positionals[1] + "'");
  const bool any_field = std::any_of(std::begin(kFieldOptions), std::end(kFieldOptions),
                                     [&](const char* option) { return parsed.has(option); });
  if (!positionals.empty()) {
    if (any_field) throw UsageError("MESSAGE_HEX: not with --serial, --otp1 and --otp2");
    return parse_message_hex(positionals[0]);
  }
  if (!any_field) throw UsageError("MESSAGE_HEX: none given, nor --serial, --otp1 and --otp2");
  for (const char* option : kFieldOptions) {
    if (!parsed.has(option)) {
      throw UsageError(std::string(option) + ": missing; --serial, --otp1 and --otp2 go together");
    }
  }
  MessageFields fields{};
  fields.serial = parse_serial("--serial", *parsed.value("--serial"));
  fields.otp1 = parse_otp("--otp1", *parsed.value("--otp1"), kOtp1Bits);
  fields.otp2 = parse_otp("--otp2", *parsed.value("--otp2"), kOtp2Bits);
  return pack_message(fields);
}

}  // namespace

int run_encode(const CommandArguments& arguments, std::ostream& out, std::ostream& err) {
  if (asks_for_help(arguments)) {
    out << kEncodeHelp;
    return kExitSuccess;
  }
  const ParsedArguments parsed = parse_arguments(arguments, {{"-o", true},
                                                             {"--speed", true},
                                                             {"--snr", true},
                                                             {"--amplitude", true},
                                                             {"--lead", true},
                                                             {"--tail", true},
                                                             {"--seed", true},
                                                             {"--unsigned", false},
                                                             {"--serial", true},
                                                             {"--otp1", true},
                                                             {"--otp2", true},
                                                             {"--wav", false}});
  const demod::MessageBytes message = message_of(parsed);
  const std::optional<std::string> file = parsed.value("-o");
  if (!file) throw UsageError("-o: missing; say where to write the frame");
  if (file->empty()) throw UsageError("-o: empty file name");

  demod::SynthOptions options;
  options.speed = real_in_range(parsed, "--speed", options.speed, kSlowestSpeed, kFastestSpeed);
  if (parsed.has("--snr")) {
    options.snr_db = real_in_range(parsed, "--snr", 0, kLowestSnr, kHighestSnr);
  }
  options.amplitude =
      real_in_range(parsed, "--amplitude", options.amplitude, 0, kLargestAmplitude, true);
  options.lead_seconds = real_in_range(parsed, "--lead", 0, 0, kLongestSilence);
  options.tail_seconds = real_in_range(parsed, "--tail", 0, 0, kLongestSilence);
  if (const std::optional<std::string> seed = parsed.value("--seed")) {
    options.seed = parse_uint32("--seed", *seed);
  }
  const bool wav = parsed.has("--wav");
  if (parsed.has("--unsigned")) {
    // WAV has its own sample format; offset binary would be read as signed.
    if (wav) throw UsageError("--unsigned: not with --wav");
    options.encoding = demod::SampleEncoding::unsigned8;
  }

  try {
    const std::vector<unsigned char> samples = demod::synthesize_frame(message, options);
    if (wav) {
      write_wav_file(*file, samples);
    } else {
      write_sample_file(*file, samples);
    }
  } catch (const FileError& error) {
    err << kToolName << ": " << error.what() << '\n';
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace sirko_tool
