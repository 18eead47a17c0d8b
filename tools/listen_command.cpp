#include <charconv>
#include <chrono>
#include <optional>
#include <portaudiocpp/Exception.hxx>
#include <string>
#include <thread>

#include "tools/arguments.h"
#include "tools/commands.h"
#include "tools/report_format.h"
#include "varnel/AudioBuffer.h"
#include "varnel/AudioRecorder.h"
#include "varnel/AudioSystem.h"

namespace sirko_tool {

namespace {

const char kListenHelp[] =
    "Usage: sirko-audio listen [--timeout SECONDS] [--json]\n"
    "\n"
    "Records the default microphone as the capture plug-in does (8000 signed\n"
    "8-bit samples per second, decoded every 2 seconds) until a frame decodes\n"
    "or the time is up. It says on standard error that it listens, and for\n"
    "how long, then prints the frame's message:\n"
    "  MESSAGE (serial SERIAL, otp1 N, otp2 N)\n"
    "or, when the time is up:\n"
    "  no frame within SECONDS s\n"
    "\n"
    "Options:\n"
    "  --timeout S  how long to listen, 1 to 10 whole seconds (default 10)\n"
    "  --json       print a JSON object instead:\n"
    "               {\"message\": \"20 hex digits\", \"serial\": \"8 hex digits\",\n"
    "                \"otp1\": N, \"otp2\": N}\n"
    "               {\"error\": \"no frame within SECONDS s\"}\n"
    "  -h, --help   show this help\n"
    "\n"
    "Exit status: 0 when a frame decoded, 1 when none did in time, 2 for a\n"
    "usage error, 3 when there is no microphone or it cannot record so.\n";

// As the capture plug-in's "timeout" parameter.
constexpr unsigned kDefaultTimeout = 10;
constexpr unsigned kShortestTimeout = 1;
constexpr unsigned kLongestTimeout = 10;

// The plug-in's recorder: a 1-second period at first, then 2-second ones.
constexpr double kSampleRate = 8000;
constexpr double kFirstPeriodSeconds = 1.0;
constexpr double kPeriodSeconds = 2.0;
// The accumulator's capacity, the most the demodulator takes in one call.
constexpr int kBufferCapacity = 80000;
constexpr std::chrono::milliseconds kPollPeriod(100);

unsigned parse_timeout(const std::string& text) {
  unsigned seconds = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seconds);
  if (text.empty() || error != std::errc() || stop != end || seconds < kShortestTimeout ||
      seconds > kLongestTimeout) {
    throw UsageError("--timeout: '" + text + "' is not a whole number of seconds from " +
                     std::to_string(kShortestTimeout) + " to " + std::to_string(kLongestTimeout));
  }
  return seconds;
}

// The capture run's loop: the deadline is fixed first, the recorder polled
// on a 100 ms grid that a late wake-up does not shift, and stopped whichever
// way it ends. Empty on time-out; otherwise the accumulator's raw message,
// itself empty should the stream end without a frame.
std::optional<RawMessage_t> capture(varnel::AudioRecorder& recorder, varnel::AudioBuffer& buffer,
                                    unsigned timeout_seconds) {
  // The steady clock, unlike the wall clock, does not jump when the time is set.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeout_seconds);
  buffer.clear();
  recorder.start(buffer);
  Clock::time_point next_tick = Clock::now() + kPollPeriod;
  while (recorder.isActive()) {
    std::this_thread::sleep_until(next_tick);
    if (Clock::now() > deadline) {
      recorder.stop();
      buffer.clear();
      return std::nullopt;
    }
    next_tick += kPollPeriod;
  }
  recorder.stop();
  return buffer.raw_message();
}

}  // namespace

int run_listen(const CommandArguments& arguments, std::ostream& out, std::ostream& err) {
  if (asks_for_help(arguments)) {
    out << kListenHelp;
    return kExitSuccess;
  }
  const ParsedArguments parsed =
      parse_arguments(arguments, {{"--timeout", true}, {"--json", false}});
  if (!parsed.positionals().empty()) {
    throw UsageError("unexpected argument '" + parsed.positionals()[0] + "'");
  }
  const std::optional<std::string> timeout_text = parsed.value("--timeout");
  const unsigned timeout = timeout_text ? parse_timeout(*timeout_text) : kDefaultTimeout;
  const bool json = parsed.has("--json");

  err << kToolName << ": listening on the default microphone for " << timeout << " s\n";
  std::optional<RawMessage_t> message;
  try {
    const varnel::AudioSystemSession audio_system;
    // Declared after the session, so that its stream is closed before
    // PortAudio is terminated, whatever is thrown.
    varnel::AudioBuffer buffer(kBufferCapacity);
    varnel::AudioRecorder recorder(kFirstPeriodSeconds, kSampleRate);
    recorder.setPeriod(kPeriodSeconds);
    message = capture(recorder, buffer, timeout);
  } catch (const varnel::RecorderException& error) {
    err << kToolName << ": " << error.what() << '\n';
    return kExitAudioError;
  } catch (const portaudio::PaException& error) {
    err << kToolName << ": " << error.what() << '\n';
    return kExitAudioError;
  } catch (const portaudio::PaCppException& error) {
    err << kToolName << ": " << error.what() << '\n';
    return kExitAudioError;
  }

  if (!message) {
    const std::string no_frame = "no frame within " + std::to_string(timeout) + " s";
    out << (json ? "{\"error\": " + json_string(no_frame) + "}" : no_frame) << '\n';
    return kExitNoFrame;
  }
  if (message->empty()) {
    err << kToolName << ": the microphone's stream ended before a frame decoded\n";
    return kExitAudioError;
  }
  out << message_line(*message, json) << '\n';
  return kExitSuccess;
}

}  // namespace sirko_tool
