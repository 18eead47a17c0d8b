#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// A decoded message as the page reads it. Empty until a capture succeeds.
struct Message {
  std::string serial;               // 8 lowercase hexadecimal digits
  std::vector<std::uint32_t> otps;  // otp1, then otp2

  void reset() {
    serial.clear();
    otps.clear();
  }
};

}  // namespace varnel
