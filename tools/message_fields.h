// The three fields of a message as `encode` takes them on the command line,
// and their packing into the ten bytes a frame carries.
#pragma once

#include <cstdint>
#include <string>

#include "demod/synth.h"

namespace sirko_tool {

// Bits of each field, in the order they follow each other from the most
// significant bit of the first byte; together they fill all 80 bits.
constexpr int kSerialBits = 29;
constexpr int kOtp1Bits = 31;
constexpr int kOtp2Bits = 20;

struct MessageFields {
  uint32_t serial;
  uint32_t otp1;
  uint32_t otp2;
};

// Each field must fit its width (checked by the parsers below).
demod::MessageBytes pack_message(const MessageFields& fields);

// The option texts; UsageError names the option and says what it takes.
uint32_t parse_serial(const std::string& option, const std::string& text);
uint32_t parse_otp(const std::string& option, const std::string& text, int bits);

}  // namespace sirko_tool
