#include <algorithm>

#include "tools/arguments.h"
#include "tools/commands.h"
#include "tools/recording_file.h"
#include "tools/recording_scan.h"
#include "tools/report_format.h"
#include "tools/sample_file.h"

namespace sirko_tool {

namespace {

const char kDecodeHelp[] =
    "Usage: sirko-audio decode [--json] FILE...\n"
    "\n"
    "Finds the frames in each FILE: an audio file in any format libsndfile\n"
    "reads (WAV, FLAC, Ogg, ...), at any sample rate and with any number of\n"
    "channels, or else headerless 8-bit samples at 8000 per second. Audio is\n"
    "mixed to mono, resampled to 8000 per second and made 8-bit, as the\n"
    "microphone delivers it. A file counts as audio when it begins with its\n"
    "format's marker; MPEG audio without a tag and the other formats without\n"
    "a marker are known by their name (.mp3, ...).\n"
    "\n"
    "Recordings of any length are searched in overlapping windows of at most\n"
    "10 seconds; each distinct frame is reported once.\n"
    "\n"
    "Prints one line per frame found:\n"
    "  FILE: frame at SECONDS s: MESSAGE (serial SERIAL, otp1 N, otp2 N)\n"
    "and one line for a file without a frame:\n"
    "  FILE: DECODER MESSAGE\n"
    "\n"
    "Options:\n"
    "  --json      one JSON object per line instead:\n"
    "              {\"file\": ..., \"at\": SECONDS, \"message\": \"20 hex digits\",\n"
    "               \"serial\": \"8 hex digits\", \"otp1\": N, \"otp2\": N}\n"
    "              {\"file\": ..., \"error\": \"decoder message\"}\n"
    "  -h, --help  show this help\n"
    "\n"
    "Exit status: 0 when every file held a frame, 1 when some file held none,\n"
    "2 for a usage error or a file that cannot be read.\n";

}  // namespace

int run_decode(const CommandArguments& arguments, std::ostream& out, std::ostream& err) {
  if (asks_for_help(arguments)) {
    out << kDecodeHelp;
    return kExitSuccess;
  }
  const ParsedArguments parsed = parse_arguments(arguments, {{"--json", false}});
  if (parsed.positionals().empty()) throw UsageError("FILE: none given");
  const bool json = parsed.has("--json");

  int status = kExitSuccess;
  for (const std::string& file : parsed.positionals()) {
    std::vector<unsigned char> samples;
    try {
      samples = read_recording(file);
    } catch (const FileError& error) {
      err << kToolName << ": " << error.what() << '\n';
      status = kExitFailure;
      continue;
    }
    const RecordingScan scan = scan_recording(samples);
    if (scan.frames.empty()) {
      out << no_frame_line(file, scan.failure, json) << '\n';
      status = std::max(status, kExitNoFrame);
    }
    for (const FoundFrame& frame : scan.frames) out << frame_line(file, frame, json) << '\n';
  }
  return status;
}

}  // namespace sirko_tool
