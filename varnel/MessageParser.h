#pragma once

#include <string>

#include "varnel/DecoderException.h"
#include "varnel/Message.h"
#include "varnel/RawMessage.h"

namespace varnel {

// The raw message is too short to hold its three fields.
class BadRawMessage : public DecoderException {
 public:
  explicit BadRawMessage(const std::string& message) : DecoderException(message) {}
};

// Cuts a raw message into its serial and two one-time values. The serial is
// read from the first four bytes and the one-time values from the last seven,
// so a longer vector keeps its fields where the frame puts them.
class MessageParser {
 public:
  static Message parse(RawMessage_t raw);
};

}  // namespace varnel
