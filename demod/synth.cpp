#include "synth.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "demod.h"

namespace demod {

namespace {

constexpr double kPi = 3.14159265358979323846;

// High nibble of each byte first.
std::array<unsigned char, 20> nibbles_of(const MessageBytes& message) {
  std::array<unsigned char, 20> nibbles{};
  for (std::size_t k = 0; k < message.size(); ++k) {
    nibbles[2 * k] = message[k] >> 4;
    nibbles[2 * k + 1] = message[k] & 0x0F;
  }
  return nibbles;
}

std::size_t seconds_to_samples(double seconds) {
  return seconds > 0 ? static_cast<std::size_t>(std::lround(seconds * kSampleRate)) : 0;
}

// Box-Muller over mt19937: the same noise for the same seed on any library.
class GaussianNoise {
 public:
  explicit GaussianNoise(uint32_t seed) : engine_(seed) {}
  double next() {
    if (spare_) {
      const double value = *spare_;
      spare_.reset();
      return value;
    }
    const double u1 = (static_cast<double>(engine_()) + 1.0) / 4294967297.0;
    const double u2 = static_cast<double>(engine_()) / 4294967296.0;
    const double radius = std::sqrt(-2.0 * std::log(u1));
    spare_ = radius * std::sin(2.0 * kPi * u2);
    return radius * std::cos(2.0 * kPi * u2);
  }

 private:
  std::mt19937 engine_;
  std::optional<double> spare_;
};

}  // namespace

std::array<unsigned char, 20> mix_nibbles(const std::array<unsigned char, 20>& y) {
  constexpr int n = 20;
  std::array<unsigned char, 20> x{};
  x[0] = y[n - 1];
  x[1] = y[0] ^ x[0];
  for (int i = 1; i < n / 2; ++i) {
    x[2 * i] = y[n - 1 - i] ^ x[2 * i - 1];
    x[2 * i + 1] = y[i] ^ x[2 * i];
  }
  return x;
}

std::vector<unsigned char> information_symbols(const MessageBytes& message) {
  const std::array<unsigned char, 20> mixed = mix_nibbles(nibbles_of(message));
  // The CRC covers the mixed nibbles; its 4 nibbles follow, high byte first.
  std::vector<unsigned char> information(mixed.begin(), mixed.end());
  const uint16_t crc = cacrc(information.data(), 20);
  for (int shift : {12, 8, 4, 0}) information.push_back((crc >> shift) & 0x0F);
  return information;
}

std::vector<unsigned char> frame_symbols(const MessageBytes& message) {
  const std::vector<unsigned char> information = information_symbols(message);
  std::unique_ptr<unsigned char[]> coded(c_conv(information.data(), 24, 3));
  return std::vector<unsigned char>(coded.get(), coded.get() + kFrameSymbols);
}

std::size_t frame_length_samples(double speed) {
  return static_cast<std::size_t>(std::ceil(kFrameSymbols * kSamplesPerSymbol / speed));
}

std::size_t frame_start_sample(const SynthOptions& options) {
  return seconds_to_samples(options.lead_seconds);
}

std::vector<unsigned char> synthesize_frame(const MessageBytes& message,
                                            const SynthOptions& options) {
  return synthesize_symbols(frame_symbols(message), options);
}

std::vector<unsigned char> synthesize_symbols(const std::vector<unsigned char>& symbols,
                                              const SynthOptions& options) {
  const std::size_t lead = frame_start_sample(options);
  const double samples_per_symbol = kSamplesPerSymbol / options.speed;
  const auto tones = static_cast<std::size_t>(std::ceil(symbols.size() * samples_per_symbol));
  const std::size_t total = lead + tones + seconds_to_samples(options.tail_seconds);

  std::vector<double> signal(total, 0.0);
  // Continuous phase across symbols, as an oscillator retuned per symbol.
  double phase = 0.0;
  for (std::size_t n = 0; n < tones; ++n) {
    const auto symbol = std::min<std::size_t>(
        static_cast<std::size_t>(static_cast<double>(n) / samples_per_symbol), symbols.size() - 1);
    const double frequency = options.speed * 1e6 / tper[symbols[symbol] & 15];
    signal[lead + n] = options.amplitude * std::sin(phase);
    phase = std::fmod(phase + 2.0 * kPi * frequency / kSampleRate, 2.0 * kPi);
  }

  if (options.snr_db) {
    // The tones' power is amplitude^2 / 2.
    const double signal_power = options.amplitude * options.amplitude / 2.0;
    const double sigma = std::sqrt(signal_power / std::pow(10.0, *options.snr_db / 10.0));
    GaussianNoise noise(options.seed);
    for (double& value : signal) value += sigma * noise.next();
  }

  std::vector<unsigned char> bytes(total);
  for (std::size_t n = 0; n < total; ++n) {
    const long value = std::clamp(std::lround(signal[n]), -128L, 127L);
    bytes[n] = options.encoding == SampleEncoding::signed8
                   ? static_cast<unsigned char>(static_cast<signed char>(value))
                   : static_cast<unsigned char>(value + 128);
  }
  return bytes;
}

}  // namespace demod
