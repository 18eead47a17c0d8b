#include "tools/resampler.h"

#include <cmath>
#include <string>

#include "demod/synth.h"

namespace sirko_tool {

namespace {

std::string rate_text(double rate) {
  std::string text = std::to_string(rate);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

Resampler::Resampler(double input_rate) : ratio_(demod::kSampleRate / input_rate) {
  if (!(input_rate > 0) || !std::isfinite(input_rate)) {
    throw ResampleError("sample rate " + rate_text(input_rate) + " Hz cannot be resampled");
  }
  if (input_rate == demod::kSampleRate) return;
  soxr_error_t error = nullptr;
  // The default quality (20 bits, steep low-pass) is far beyond what 8-bit
  // samples keep.
  soxr_.reset(soxr_create(input_rate, demod::kSampleRate, 1, &error, nullptr, nullptr, nullptr));
  if (!soxr_ || error != nullptr) {
    throw ResampleError("cannot resample from " + rate_text(input_rate) +
                        " Hz: " + soxr_strerror(error));
  }
}

void Resampler::push(const float* samples, std::size_t count, std::vector<float>& output) {
  if (!soxr_) {
    output.insert(output.end(), samples, samples + count);
    return;
  }
  if (count > 0) process(samples, count, output);
}

void Resampler::finish(std::vector<float>& output) {
  if (soxr_) process(nullptr, 0, output);
}

void Resampler::process(const float* samples, std::size_t count, std::vector<float>& output) {
  // Room for what this input makes plus what the filter held back; soxr
  // says when it needs another round.
  const std::size_t room = static_cast<std::size_t>(std::ceil(count * ratio_)) + 1024;
  std::size_t consumed = 0;
  while (true) {
    const std::size_t start = output.size();
    output.resize(start + room);
    std::size_t used = 0;
    std::size_t made = 0;
    const soxr_error_t error =
        soxr_process(soxr_.get(), samples == nullptr ? nullptr : samples + consumed,
                     count - consumed, &used, output.data() + start, room, &made);
    output.resize(start + made);
    if (error != nullptr) throw ResampleError(std::string("resampling failed: ") + error);
    consumed += used;
    // More to come while input is left or the output was filled.
    if (consumed >= count && made < room) return;
  }
}

}  // namespace sirko_tool
