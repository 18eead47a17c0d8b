// The small argument parser the commands share: options with or without a
// value ("--speed 1.02" or "--speed=1.02"), positional arguments, and "--"
// to end the options.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace sirko_tool {

// A mistake in the command line; its message names the argument.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct OptionSpec {
  std::string name;  // as typed: "--json", "-o"
  bool takes_value;
};

class ParsedArguments {
 public:
  bool has(const std::string& option) const;
  std::optional<std::string> value(const std::string& option) const;
  const std::vector<std::string>& positionals() const { return positionals_; }

 private:
  friend ParsedArguments parse_arguments(const std::vector<std::string>&,
                                         const std::vector<OptionSpec>&);
  std::set<std::string> flags_;
  std::map<std::string, std::string> values_;
  std::vector<std::string> positionals_;
};

// Throws UsageError for an unknown option, a missing value or an option given twice.
ParsedArguments parse_arguments(const std::vector<std::string>& arguments,
                                const std::vector<OptionSpec>& options);

// True when "--help" or "-h" comes before any "--", whatever else is there.
bool asks_for_help(const std::vector<std::string>& arguments);

// The whole text must be the number, and finite; `name` goes into the error.
double parse_real(const std::string& name, const std::string& text);
uint32_t parse_uint32(const std::string& name, const std::string& text);

}  // namespace sirko_tool
