#include "tools/arguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace sirko_tool {

namespace {

const OptionSpec* find_option(const std::vector<OptionSpec>& options, const std::string& name) {
  const auto found = std::find_if(options.begin(), options.end(),
                                  [&](const OptionSpec& option) { return option.name == name; });
  return found == options.end() ? nullptr : &*found;
}

bool looks_like_option(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-';
}

}  // namespace

bool ParsedArguments::has(const std::string& option) const {
  return flags_.count(option) > 0 || values_.count(option) > 0;
}

std::optional<std::string> ParsedArguments::value(const std::string& option) const {
  const auto found = values_.find(option);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

ParsedArguments parse_arguments(const std::vector<std::string>& arguments,
                                const std::vector<OptionSpec>& options) {
  ParsedArguments parsed;
  bool options_ended = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_ended || !looks_like_option(argument)) {
      parsed.positionals_.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    const std::size_t equals =
        argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
    const std::string name = argument.substr(0, equals);
    const OptionSpec* option = find_option(options, name);
    if (option == nullptr) throw UsageError("unknown option '" + name + "'");
    if (parsed.has(name)) throw UsageError(name + ": given more than once");
    if (!option->takes_value) {
      if (equals != std::string::npos) throw UsageError(name + ": takes no value");
      parsed.flags_.insert(name);
    } else if (equals != std::string::npos) {
      parsed.values_[name] = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      parsed.values_[name] = arguments[++i];
    } else {
      throw UsageError(name + ": needs a value");
    }
  }
  return parsed;
}

bool asks_for_help(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") return false;
    if (argument == "--help" || argument == "-h") return true;
  }
  return false;
}

double parse_real(const std::string& name, const std::string& text) {
  double value = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
    throw UsageError(name + ": '" + text + "' is not a number");
  }
  return value;
}

uint32_t parse_uint32(const std::string& name, const std::string& text) {
  uint32_t value = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    throw UsageError(name + ": '" + text + "' is not a whole number from 0 to 4294967295");
  }
  return value;
}

}  // namespace sirko_tool
