// The transmitter's side: turns 10 message bytes into the samples a device
// would play, so that tests and tools can make frames instead of typing them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace demod {

using MessageBytes = std::array<unsigned char, 10>;

enum class SampleEncoding {
  signed8,    // two's complement bytes, as a microphone stream delivers them
  unsigned8,  // offset binary: silence is 128
};

struct SynthOptions {
  double speed = 1.0;       // alpha: scales every tone frequency and the symbol rate
  double amplitude = 100.0; // peak of each tone, in sample units (at most 127)
  double lead_seconds = 0.0;
  double tail_seconds = 0.0;
  std::optional<double> snr_db;  // additive white Gaussian noise over the whole output
  uint32_t seed = 1;             // for the noise
  SampleEncoding encoding = SampleEncoding::signed8;
};

constexpr int kSampleRate = 8000;
constexpr int kFrameSymbols = 52;
constexpr int kSamplesPerSymbol = 5 * 32;  // at speed 1

// The transmitter's mixing of the 20 message nibbles (the receiver's mixeur
// undoes it).
std::array<unsigned char, 20> mix_nibbles(const std::array<unsigned char, 20>& message_nibbles);

// The 24 information symbols: the mixed nibbles, then the 4 CRC nibbles.
std::vector<unsigned char> information_symbols(const MessageBytes& message);

// The 52 coded symbols of a frame: the information symbols through the
// convolutional code.
std::vector<unsigned char> frame_symbols(const MessageBytes& message);

// Samples of the whole frame with its silences and noise, one byte each.
std::vector<unsigned char> synthesize_frame(const MessageBytes& message,
                                            const SynthOptions& options = {});
// The same for any sequence of coded symbols (a frame with a deliberate
// fault, say).
std::vector<unsigned char> synthesize_symbols(const std::vector<unsigned char>& coded,
                                              const SynthOptions& options = {});

// Samples (offset of the first tone) at which the frame starts for these options.
std::size_t frame_start_sample(const SynthOptions& options);
// Length of a frame's tones alone, in samples.
std::size_t frame_length_samples(double speed);

}  // namespace demod
