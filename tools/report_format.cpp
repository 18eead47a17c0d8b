#include "tools/report_format.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "demod/synth.h"
#include "varnel/HexUtils.h"
#include "varnel/MessageParser.h"

namespace sirko_tool {

namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 when there is
// none (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t utf8_sequence_length(const std::string& text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char second_low = 0x80;
  unsigned char second_high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_low = 0xA0;
    if (lead == 0xED) second_high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_low = 0x90;
    if (lead == 0xF4) second_high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(text[i + k]);
    const unsigned char low = k == 1 ? second_low : 0x80;
    const unsigned char high = k == 1 ? second_high : 0xBF;
    if (byte < low || byte > high) return 0;
  }
  return length;
}

// JSON's short escapes; other control characters take the \u form.
struct ShortEscape {
  char character;
  const char* text;
};
constexpr ShortEscape kShortEscapes[] = {{'"', "\\\""}, {'\\', "\\\\"}, {'\b', "\\b"},
                                         {'\f', "\\f"}, {'\n', "\\n"},  {'\r', "\\r"},
                                         {'\t', "\\t"}};

std::string seconds_of(std::size_t sample) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(sample) / demod::kSampleRate);
  return text;
}

}  // namespace

std::string json_string(const std::string& text) {
  std::string quoted = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const std::size_t length = utf8_sequence_length(text, i);
    if (length == 0) {
      quoted += "\\ufffd";
      ++i;
      continue;
    }
    const auto escape = std::find_if(std::begin(kShortEscapes), std::end(kShortEscapes),
                                     [c](const ShortEscape& e) { return e.character == c; });
    if (escape != std::end(kShortEscapes)) {
      quoted += escape->text;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      quoted += escaped;
    } else {
      quoted.append(text, i, length);
    }
    i += length;
  }
  return quoted + "\"";
}

std::string message_line(const RawMessage_t& message, bool json) {
  const std::string hex = varnel::HexUtils::binary_to_hex(message);
  const varnel::Message fields = varnel::MessageParser::parse(message);
  const std::string otp1 = std::to_string(fields.otps.at(0));
  const std::string otp2 = std::to_string(fields.otps.at(1));
  if (json) {
    return "{\"message\": \"" + hex + "\", \"serial\": \"" + fields.serial +
           "\", \"otp1\": " + otp1 + ", \"otp2\": " + otp2 + "}";
  }
  return hex + " (serial " + fields.serial + ", otp1 " + otp1 + ", otp2 " + otp2 + ")";
}

std::string frame_line(const std::string& file, const FoundFrame& frame, bool json) {
  const std::string at = seconds_of(frame.start_sample);
  const std::string message = message_line(frame.message, json);
  if (json) {
    // The message's own object, with the file and time put first.
    return "{\"file\": " + json_string(file) + ", \"at\": " + at + ", " + message.substr(1);
  }
  return file + ": frame at " + at + " s: " + message;
}

std::string no_frame_line(const std::string& file, const std::string& decoder_message, bool json) {
  if (json) {
    return "{\"file\": " + json_string(file) + ", \"error\": " + json_string(decoder_message) + "}";
  }
  return file + ": " + decoder_message;
}

}  // namespace sirko_tool
