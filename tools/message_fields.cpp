#include "tools/message_fields.h"

#include <charconv>
#include <cstdio>

#include "tools/arguments.h"

namespace sirko_tool {

namespace {

constexpr int kMessageBits = kSerialBits + kOtp1Bits + kOtp2Bits;
static_assert(kMessageBits == 8 * std::tuple_size<demod::MessageBytes>::value,
              "the fields fill the message exactly");

uint64_t largest_of(int bits) { return (uint64_t{1} << bits) - 1; }

// Writes `value` into `bits` bits starting at bit `first`, bit 0 being the
// most significant bit of byte 0.
void put_bits(demod::MessageBytes& bytes, int first, int bits, uint32_t value) {
  for (int k = 0; k < bits; ++k) {
    if (((value >> (bits - 1 - k)) & 1u) == 0) continue;
    const int bit = first + k;
    bytes[bit / 8] |= static_cast<unsigned char>(0x80u >> (bit % 8));
  }
}

// The whole text must be digits of `base`; out of range when too large for
// 64 bits.
bool read_whole(const std::string& text, int base, uint64_t* value, bool* too_large) {
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, *value, base);
  *too_large = error == std::errc::result_out_of_range;
  if (text.empty() || stop != end) return false;
  return error == std::errc() || *too_large;
}

}  // namespace

demod::MessageBytes pack_message(const MessageFields& fields) {
  demod::MessageBytes bytes{};
  put_bits(bytes, 0, kSerialBits, fields.serial);
  put_bits(bytes, kSerialBits, kOtp1Bits, fields.otp1);
  put_bits(bytes, kSerialBits + kOtp1Bits, kOtp2Bits, fields.otp2);
  return bytes;
}

uint32_t parse_serial(const std::string& option, const std::string& text) {
  uint64_t value = 0;
  bool too_large = false;
  // from_chars takes no sign and no "0x" in base 16; the length rules out a
  // long run of leading zeros passing for eight digits.
  if (text.size() > 8 || !read_whole(text, 16, &value, &too_large)) {
    throw UsageError(option + ": '" + text + "' is not 1 to 8 hexadecimal digits");
  }
  if (value > largest_of(kSerialBits)) {
    char largest[17];
    std::snprintf(largest, sizeof largest, "%llx",
                  static_cast<unsigned long long>(largest_of(kSerialBits)));
    throw UsageError(option + ": " + text + " does not fit in " + std::to_string(kSerialBits) +
                     " bits (at most " + largest + ")");
  }
  return static_cast<uint32_t>(value);
}

uint32_t parse_otp(const std::string& option, const std::string& text, int bits) {
  uint64_t value = 0;
  bool too_large = false;
  if (!read_whole(text, 10, &value, &too_large)) {
    throw UsageError(option + ": '" + text + "' is not a whole number");
  }
  if (too_large || value > largest_of(bits)) {
    throw UsageError(option + ": " + text + " does not fit in " + std::to_string(bits) +
                     " bits (at most " + std::to_string(largest_of(bits)) + ")");
  }
  return static_cast<uint32_t>(value);
}

}  // namespace sirko_tool
