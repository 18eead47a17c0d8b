#include "tools/commands.h"

namespace sirko_tool {

const std::vector<Command>& all_commands() {
  static const std::vector<Command> commands = {
      {"decode", "find the frames in audio files or files of raw samples", run_decode},
      {"encode", "write a frame as a file of raw samples or a WAV file", run_encode},
      {"listen", "wait for a frame on the default microphone", run_listen},
  };
  return commands;
}

}  // namespace sirko_tool
