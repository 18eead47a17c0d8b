#pragma once

#include <string>
#include <vector>

#include "varnel/MessageException.h"

namespace varnel {

// A text that does not read as hexadecimal digits.
class InvalidHexString : public MessageException {
 public:
  explicit InvalidHexString(const std::string& message) : MessageException(message) {}
};

// Bytes to lowercase hexadecimal text and back.
class HexUtils {
 public:
  // Two digits per byte, no prefix or separators.
  static std::string binary_to_hex(const std::vector<unsigned char>& bytes);
  // Any case; one "0x" may stand anywhere; an odd length reads as if led by "0".
  static std::vector<unsigned char> hex_to_binary(std::string text);
};

}  // namespace varnel
