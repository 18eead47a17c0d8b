// The lines `decode` and `listen` print: readable text, or one JSON object
// per line.
#pragma once

#include <string>

#include "varnel/RawMessage.h"

#include "tools/recording_scan.h"

namespace sirko_tool {

// A JSON string literal, quotes included. Bytes that are not UTF-8 become
// U+FFFD, since a file name need not be text.
std::string json_string(const std::string& text);

// A frame's message with its fields: "HEX (serial S, otp1 N, otp2 N)", or
// the JSON object {"message": ..., "serial": ..., "otp1": N, "otp2": N}.
// The raw message has the decoder's 10 bytes.
std::string message_line(const RawMessage_t& message, bool json);

std::string frame_line(const std::string& file, const FoundFrame& frame, bool json);
std::string no_frame_line(const std::string& file, const std::string& decoder_message, bool json);

}  // namespace sirko_tool
