// The lines `decode` prints: readable text, or one JSON object per line.
#pragma once

#include <string>

#include "tools/recording_scan.h"

namespace sirko_tool {

// A JSON string literal, quotes included. Bytes that are not UTF-8 become
// U+FFFD, since a file name need not be text.
std::string json_string(const std::string& text);

std::string frame_line(const std::string& file, const FoundFrame& frame, bool json);
std::string no_frame_line(const std::string& file, const std::string& decoder_message, bool json);

}  // namespace sirko_tool
