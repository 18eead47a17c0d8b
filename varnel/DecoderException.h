#pragma once

#include <string>

#include "varnel/MessageException.h"

namespace varnel {

// Base of the decoding failures; carries one message.
class DecoderException : public MessageException {
 public:
  explicit DecoderException(const std::string& message) : MessageException(message) {}
};

// No frame could be decoded from the samples given.
class InvalidFrame : public DecoderException {
 public:
  explicit InvalidFrame(const std::string& message) : DecoderException(message) {}
};

}  // namespace varnel
