// The tool's commands. Each takes the arguments after its name, writes its
// results to `out` and its complaints to `err`, and returns the exit status.
// A mistake in the arguments is thrown as UsageError for the caller to report.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace sirko_tool {

constexpr int kExitSuccess = 0;
constexpr int kExitNoFrame = 1;     // decode: some file held no frame; listen: none in time
constexpr int kExitFailure = 2;     // usage error, unreadable or unwritable file
constexpr int kExitAudioError = 3;  // listen: no microphone, or one that cannot record

// Prefix of every complaint, so that it can be told from a result.
constexpr const char* kToolName = "sirko-audio";

using CommandArguments = std::vector<std::string>;

struct Command {
  const char* name;
  const char* summary;  // one line for the tool's help
  int (*run)(const CommandArguments& arguments, std::ostream& out, std::ostream& err);
};

int run_decode(const CommandArguments& arguments, std::ostream& out, std::ostream& err);
int run_encode(const CommandArguments& arguments, std::ostream& out, std::ostream& err);
int run_listen(const CommandArguments& arguments, std::ostream& out, std::ostream& err);

// Every command, in the order the tool's help lists them.
const std::vector<Command>& all_commands();

}  // namespace sirko_tool
