#include "varnel/HexUtils.h"

namespace varnel {

namespace {

const char kDigits[] = "0123456789abcdef";

// ASCII only: the page's text must not change meaning with the process locale.
char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The value of a lowercase digit, or -1.
int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string HexUtils::binary_to_hex(const std::vector<unsigned char>& bytes) {
  std::string text;
  text.reserve(2 * bytes.size());
  for (unsigned char byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0xF]);
  }
  return text;
}

std::vector<unsigned char> HexUtils::hex_to_binary(std::string text) {
  for (char& c : text) c = ascii_lower(c);

  const std::string::size_type prefix = text.find("0x");
  if (prefix != std::string::npos) text.erase(prefix, 2);

  for (char c : text) {
    if (digit_value(c) < 0) throw InvalidHexString("Cannot convert non-hexadecimal string.");
  }
  if (text.size() % 2 != 0) text.insert(text.begin(), '0');

  std::vector<unsigned char> bytes;
  bytes.reserve(text.size() / 2);
  for (std::string::size_type i = 0; i < text.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>((digit_value(text[i]) << 4) | digit_value(text[i + 1])));
  }
  return bytes;
}

}  // namespace varnel
