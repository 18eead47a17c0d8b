#include "varnel/MessageParser.h"

#include <cstddef>
#include <cstdint>

namespace varnel {

namespace {

constexpr std::size_t kMinimumLength = 10;
constexpr std::size_t kTailLength = 7;  // bytes holding otp1 and otp2

// `count` bytes from `first` as one big-endian number (count <= 8).
std::uint64_t big_endian(const unsigned char* first, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    value = (value << 8) | first[i];
  }
  return value;
}

// A serial has at most 29 bits, so eight digits always hold it.
std::string serial_text(std::uint32_t serial) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(8, '0');
  for (std::size_t i = text.size(); i-- > 0; serial >>= 4) {
    text[i] = kDigits[serial & 0xF];
  }
  return text;
}

}  // namespace

Message MessageParser::parse(RawMessage_t raw) {
  if (raw.size() < kMinimumLength) {
    throw BadRawMessage("MessageParser::parse : A RawMessage_t should contain at least 10 elements");
  }
  const unsigned char* tail = raw.data() + raw.size() - kTailLength;

  // Bits 0-28 of the front word; otp1 and otp2 share the tail's fourth byte.
  const auto serial = static_cast<std::uint32_t>(big_endian(raw.data(), 4) >> 3);
  const auto otp1 = static_cast<std::uint32_t>((big_endian(tail, 5) >> 4) & 0x7FFFFFFF);
  const auto otp2 = static_cast<std::uint32_t>(big_endian(tail + 4, 3) & 0xFFFFF);

  Message message;
  message.serial = serial_text(serial);
  message.otps.push_back(otp1);
  message.otps.push_back(otp2);
  return message;
}

}  // namespace varnel
