#pragma once

#include <string>
#include <utility>
#include <vector>

// The logging facade of the scripting core and the plug-in core. Every entry
// has a level, a category ("PluginCore", "BrowserHost", ...), a message and
// the source location it was written from. This build keeps no log: every
// level discards its entry, so writing one costs no more than building its
// message, and nothing a plug-in logs can fail or block.
namespace FB::Log {

// Bit values, so a set of levels fits in one int; 4, info, is the level a
// factory reports by default.
enum class LogLevel : int {
  Trace = 0x01,
  Debug = 0x02,
  Info = 0x04,
  Warn = 0x08,
  Error = 0x10,
  Fatal = 0x20,
};

// Where a factory asks for its entries to go; no method is consulted here.
enum class LogMethod : int {
  Console = 1,
  File = 2,
};

using LogMethodList = std::vector<std::pair<LogMethod, std::string>>;

// Where an entry was written from.
struct SourceLocation {
  const char* file;
  int line;
  const char* function;
};

inline void initLogging() {}
inline void stopLogging() {}

inline void write(LogLevel /*level*/, const std::string& /*category*/,
                  const std::string& /*message*/, const SourceLocation& /*where*/) {}

inline void trace(const std::string& category, const std::string& message,
                  const SourceLocation& where) {
  write(LogLevel::Trace, category, message, where);
}
inline void debug(const std::string& category, const std::string& message,
                  const SourceLocation& where) {
  write(LogLevel::Debug, category, message, where);
}
inline void info(const std::string& category, const std::string& message,
                 const SourceLocation& where) {
  write(LogLevel::Info, category, message, where);
}
inline void warn(const std::string& category, const std::string& message,
                 const SourceLocation& where) {
  write(LogLevel::Warn, category, message, where);
}
inline void error(const std::string& category, const std::string& message,
                  const SourceLocation& where) {
  write(LogLevel::Error, category, message, where);
}
inline void fatal(const std::string& category, const std::string& message,
                  const SourceLocation& where) {
  write(LogLevel::Fatal, category, message, where);
}

}  // namespace FB::Log

#define FB_LOG_HERE (::FB::Log::SourceLocation{__FILE__, __LINE__, __func__})
#define FBLOG_TRACE(category, message) ::FB::Log::trace((category), (message), FB_LOG_HERE)
#define FBLOG_DEBUG(category, message) ::FB::Log::debug((category), (message), FB_LOG_HERE)
#define FBLOG_INFO(category, message) ::FB::Log::info((category), (message), FB_LOG_HERE)
#define FBLOG_WARN(category, message) ::FB::Log::warn((category), (message), FB_LOG_HERE)
#define FBLOG_ERROR(category, message) ::FB::Log::error((category), (message), FB_LOG_HERE)
#define FBLOG_FATAL(category, message) ::FB::Log::fatal((category), (message), FB_LOG_HERE)
