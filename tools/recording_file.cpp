#include "tools/recording_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "demod/synth.h"
#include "tools/header_guess.h"
#include "tools/memory_sound_file.h"
#include "tools/resampler.h"
#include "tools/sample_file.h"

namespace sirko_tool {

namespace {

// Samples of all channels together per read, so that a file of many
// channels does not make a large buffer.
constexpr sf_count_t kSamplesPerRead = 1 << 16;

FileError read_error(const std::string& path, const std::string& why) {
  return FileError("cannot read " + path + ": " + why);
}

// Averaging keeps the level of a frame heard alike on every channel.
void mix_to_mono(const std::vector<float>& interleaved, sf_count_t frames, int channels,
                 std::vector<float>& mono) {
  mono.resize(static_cast<std::size_t>(frames));
  for (sf_count_t frame = 0; frame < frames; ++frame) {
    const float* first = interleaved.data() + frame * channels;
    double sum = 0;
    for (int channel = 0; channel < channels; ++channel) sum += first[channel];
    mono[static_cast<std::size_t>(frame)] = static_cast<float>(sum / channels);
  }
}

std::vector<unsigned char> convert_sound(SNDFILE* sound, const SF_INFO& info,
                                         const std::string& path) {
  std::vector<float> at_8000;
  try {
    Resampler resampler(info.samplerate);
    const sf_count_t frames_per_read = std::max<sf_count_t>(1, kSamplesPerRead / info.channels);
    std::vector<float> interleaved(static_cast<std::size_t>(frames_per_read * info.channels));
    std::vector<float> mono;
    sf_count_t frames;
    while ((frames = sf_readf_float(sound, interleaved.data(), frames_per_read)) > 0) {
      mix_to_mono(interleaved, frames, info.channels, mono);
      resampler.push(mono.data(), mono.size(), at_8000);
    }
    resampler.finish(at_8000);
  } catch (const ResampleError& error) {
    throw read_error(path, error.what());
  }
  if (sf_error(sound) != SF_ERR_NO_ERROR) throw read_error(path, sf_strerror(sound));
  std::vector<unsigned char> samples(at_8000.size());
  for (std::size_t i = 0; i < at_8000.size(); ++i) samples[i] = stream_sample(at_8000[i]);
  return samples;
}

}  // namespace

// The microphone stream delivers signed 8-bit samples and the accumulator
// hands them to the decoder as they come, which reads each byte as unsigned,
// 0 to 255. A file is made into those same two's-complement bytes, so that
// what decodes here decodes in the running system. Nothing is normalised:
// the level stays as recorded. Scaling by 128 keeps 8-bit files exactly as
// they were and takes a 16-bit sample's high byte, rounded; the loudest
// positive samples (and float ones beyond full scale) are clamped.
unsigned char stream_sample(float value) {
  double scaled = static_cast<double>(value) * 128.0;
  if (std::isnan(scaled)) scaled = 0;
  if (scaled < -128) scaled = -128;
  if (scaled > 127) scaled = 127;
  return static_cast<unsigned char>(static_cast<int8_t>(std::lround(scaled)));
}

std::vector<unsigned char> read_recording(const std::string& path) {
  std::vector<unsigned char> bytes = read_sample_file(path);
  if (!may_carry_audio_header(path, bytes)) return bytes;

  MemorySoundFile memory(std::move(bytes));
  SF_INFO info{};
  const SoundFile sound = memory.open(SFM_READ, &info);
  if (!sound) {
    if (sf_error(nullptr) == SF_ERR_UNRECOGNISED_FORMAT) return memory.release();
    throw read_error(path, sf_strerror(nullptr));
  }
  if (info.channels < 1) throw read_error(path, "no channels");
  return convert_sound(sound.get(), info, path);
}

void write_wav_file(const std::string& path, const std::vector<unsigned char>& samples) {
  MemorySoundFile memory;
  {
    SF_INFO info{};
    info.samplerate = demod::kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const SoundFile sound = memory.open(SFM_WRITE, &info);
    if (!sound) throw FileError("cannot write " + path + ": " + sf_strerror(nullptr));
    std::vector<short> wide(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
      wide[i] = static_cast<short>(static_cast<int8_t>(samples[i]) * 256);
    }
    const auto count = static_cast<sf_count_t>(wide.size());
    if (sf_write_short(sound.get(), wide.data(), count) != count) {
      throw FileError("cannot write " + path + ": " + sf_strerror(sound.get()));
    }
    // Closing the sound writes the header's final lengths.
  }
  write_sample_file(path, memory.bytes());
}

}  // namespace sirko_tool
