#include "demod.h"

// Tone periods in microseconds (frequencies 10^6 / period, about 1597 Hz to
// 3106 Hz), indexed by symbol value.
const int tper[16] = {
    626, 588, 526, 556, 434, 454, 500, 476,  // symbols 0-7
    322, 334, 358, 344, 416, 400, 370, 384,  // symbols 8-15
};

// Generator taps per register entry, oldest first: (first output, second output).
// K = 3 is the octal pair 7, 5.
const int g3[3][2] = {{1, 1}, {1, 0}, {1, 1}};
const int g5[5][2] = {{1, 1}, {0, 1}, {1, 0}, {1, 0}, {1, 1}};
const int g7[7][2] = {{1, 1}, {0, 1}, {0, 0}, {1, 1}, {1, 1}, {1, 0}, {1, 1}};
const int g9[9][2] = {{1, 1}, {1, 0}, {0, 0}, {1, 0}, {0, 1}, {1, 1}, {1, 1}, {1, 0}, {1, 1}};

namespace {

// Entry i: a zero register after byte i has been shifted through it, MSB first.
constexpr std::array<uint16_t, 256> make_crc_table(uint16_t polynomial) {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned crc = i << 8;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) ? ((crc << 1) ^ polynomial) : (crc << 1);
    }
    table[i] = static_cast<uint16_t>(crc & 0xFFFF);
  }
  return table;
}

}  // namespace

const std::array<uint16_t, 256> crc8005 = make_crc_table(0x8005);
