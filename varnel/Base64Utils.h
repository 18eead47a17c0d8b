#pragma once

#include <string>
#include <vector>

#include "varnel/MessageException.h"

namespace varnel {

// A text that does not decode as Base64.
class InvalidBase64String : public MessageException {
 public:
  explicit InvalidBase64String(const std::string& message) : MessageException(message) {}
};

// Bytes to standard padded Base64 and back.
class Base64Utils {
 public:
  // A line feed after every 72 characters that another character follows.
  static std::string binary_to_base64(std::vector<unsigned char> bytes);
  // White space is skipped; the padding may be left out. Throws
  // InvalidBase64String for a character outside the alphabet and for a text
  // ending in a lone character, which cannot make a byte.
  static std::vector<unsigned char> base64_to_binary(std::string text);
};

}  // namespace varnel
