// Integrity check with one-bit repair, and the receiver's de-mixing.
#include "demod.h"

uint16_t cacrc(const unsigned char* symbols, int count) {
  unsigned crc = 0xFFFF;
  for (int k = 0; k < count / 2; ++k) {
    const unsigned byte = ((symbols[2 * k] << 4) | symbols[2 * k + 1]) & 0xFF;
    crc = crc8005[((crc >> 8) ^ byte) & 0xFF] ^ ((crc << 8) & 0xFFFF);
  }
  return static_cast<uint16_t>(crc);
}

int ancrc(unsigned char* symbols, int count) {
  if (count < 4 || count % 2 != 0) return -1;
  if (cacrc(symbols, count) == 0) return 0;
  for (int p = 0; p < count; ++p) {
    for (unsigned char mask : {8, 4, 2, 1}) {
      symbols[p] ^= mask;
      if (cacrc(symbols, count) == 0) return 1;
      symbols[p] ^= mask;
    }
  }
  return -1;
}

unsigned char* mixeur(const unsigned char* symbols, int count) {
  if (count < 0 || count % 2 != 0) return nullptr;
  auto* y = new unsigned char[count];
  for (int i = 0; i < count / 2; ++i) {
    y[i] = symbols[2 * i] ^ symbols[2 * i + 1];
    y[count - 1 - i] = (i == 0) ? symbols[0] : (symbols[2 * i] ^ symbols[2 * i - 1]);
  }
  return y;
}
