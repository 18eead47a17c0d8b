#pragma once

#include <exception>
#include <string>

namespace varnel {

// Base of the recorder's failures; carries one message.
class RecorderException : public std::exception {
 public:
  explicit RecorderException(const std::string& message) : message_(message) {}
  ~RecorderException() override = default;
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The system has no default input device.
class NoInputDevice : public RecorderException {
 public:
  explicit NoInputDevice(const std::string& message) : RecorderException(message) {}
};

// The default input device refuses mono signed 8-bit samples at the rate.
class BadAudioStreamParams : public RecorderException {
 public:
  explicit BadAudioStreamParams(const std::string& message) : RecorderException(message) {}
};

}  // namespace varnel
