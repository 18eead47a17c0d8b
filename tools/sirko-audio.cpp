// sirko-audio: makes and reads frame recordings from the command line.
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "tools/arguments.h"
#include "tools/commands.h"

namespace {

using sirko_tool::kExitFailure;
using sirko_tool::kToolName;

void print_tool_help(std::ostream& out) {
  out << "Usage: sirko-audio COMMAND [ARGUMENTS...]\n"
         "\n"
         "Commands:\n";
  for (const sirko_tool::Command& command : sirko_tool::all_commands()) {
    out << "  " << command.name << std::string(10 - std::string(command.name).size(), ' ')
        << command.summary << '\n';
  }
  out << "\n"
         "'sirko-audio COMMAND --help' tells more about each.\n";
}

const sirko_tool::Command* find_command(const std::string& name) {
  for (const sirko_tool::Command& command : sirko_tool::all_commands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

int run(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kToolName << ": no command given (see sirko-audio --help)\n";
    return kExitFailure;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    print_tool_help(std::cout);
    return sirko_tool::kExitSuccess;
  }
  const sirko_tool::Command* command = find_command(name);
  if (command == nullptr) {
    std::cerr << kToolName << ": unknown command '" << name << "' (see sirko-audio --help)\n";
    return kExitFailure;
  }
  try {
    return command->run(sirko_tool::CommandArguments(argv + 2, argv + argc), std::cout, std::cerr);
  } catch (const sirko_tool::UsageError& error) {
    std::cerr << kToolName << ": " << name << ": " << error.what() << " (see sirko-audio " << name
              << " --help)\n";
    return kExitFailure;
  }
}

}  // namespace

int main(int argc, char** argv) {
  int status;
  try {
    status = run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << kToolName << ": out of memory\n";
    return kExitFailure;
  } catch (const std::exception& error) {
    std::cerr << kToolName << ": " << error.what() << '\n';
    return kExitFailure;
  }
  // Results that never reached their file (a full disk, a closed pipe) are
  // a failure, not a success.
  std::cout.flush();
  if (!std::cout) {
    std::cerr << kToolName << ": cannot write the output\n";
    return kExitFailure;
  }
  return status;
}
