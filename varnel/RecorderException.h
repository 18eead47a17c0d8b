#pragma once

#include <string>

#include "varnel/MessageException.h"

namespace varnel {

// Base of the recorder's failures; carries one message.
class RecorderException : public MessageException {
 public:
  explicit RecorderException(const std::string& message) : MessageException(message) {}
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
