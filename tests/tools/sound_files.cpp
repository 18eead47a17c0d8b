#include "sound_files.h"

#include <sndfile.h>

#include <cmath>

#include "demod/demod.h"

namespace tool_test {

std::vector<float> frame_at_rate(const demod::MessageBytes& message, double rate,
                                 double lead_seconds, double tail_seconds, double amplitude) {
  constexpr double kPi = 3.14159265358979323846;
  const std::vector<unsigned char> symbols = demod::frame_symbols(message);
  const double samples_per_symbol = demod::kSamplesPerSymbol * rate / demod::kSampleRate;
  const auto lead = static_cast<std::size_t>(std::lround(lead_seconds * rate));
  const auto tones = static_cast<std::size_t>(std::ceil(symbols.size() * samples_per_symbol));
  const auto tail = static_cast<std::size_t>(std::lround(tail_seconds * rate));
  std::vector<float> samples(lead + tones + tail, 0.0f);
  double phase = 0;
  for (std::size_t n = 0; n < tones; ++n) {
    const auto symbol = std::min<std::size_t>(
        static_cast<std::size_t>(static_cast<double>(n) / samples_per_symbol), symbols.size() - 1);
    const double frequency = 1e6 / tper[symbols[symbol] & 15];
    samples[lead + n] = static_cast<float>(amplitude * std::sin(phase));
    phase = std::fmod(phase + 2 * kPi * frequency / rate, 2 * kPi);
  }
  return samples;
}

bool write_sound_file(const std::string& path, int format, int rate, int channels,
                      const std::vector<float>& interleaved) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  if (!sf_format_check(&info)) return false;
  SNDFILE* sound = sf_open(path.c_str(), SFM_WRITE, &info);
  if (sound == nullptr) return false;
  const auto frames = static_cast<sf_count_t>(interleaved.size() / channels);
  const bool written = sf_writef_float(sound, interleaved.data(), frames) == frames;
  return sf_close(sound) == 0 && written;
}

std::vector<float> interleave(const std::vector<std::vector<float>>& channels) {
  std::vector<float> interleaved;
  interleaved.reserve(channels.size() * channels.front().size());
  for (std::size_t frame = 0; frame < channels.front().size(); ++frame) {
    for (const std::vector<float>& channel : channels) interleaved.push_back(channel[frame]);
  }
  return interleaved;
}

}  // namespace tool_test
