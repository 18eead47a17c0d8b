#include "tools/commands.h"

namespace sirko_tool {

const std::vector<Command>& all_commands() {
  static const std::vector<Command> commands = {
      {"decode", "find the frames in files of raw samples", run_decode},
      {"encode", "write a frame as a file of raw samples", run_encode},
  };
  return commands;
}

}  // namespace sirko_tool
