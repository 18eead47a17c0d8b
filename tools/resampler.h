// Mono audio from any sample rate to the decoder's 8000 per second, fed in
// pieces so that a long recording is never held at its own rate.
#pragma once

#include <soxr.h>

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <vector>

namespace sirko_tool {

// The resampler refused the rate or failed; the message says why.
class ResampleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Resampler {
 public:
  explicit Resampler(double input_rate);

  // Appends to `output` what the samples so far make at 8000 per second.
  void push(const float* samples, std::size_t count, std::vector<float>& output);
  // Appends what the resampler still holds back; call once, after the last push.
  void finish(std::vector<float>& output);

 private:
  struct Deleter {
    void operator()(soxr* resampler) const { soxr_delete(resampler); }
  };

  // `samples` null ends the input.
  void process(const float* samples, std::size_t count, std::vector<float>& output);

  double ratio_;                         // output samples per input sample
  std::unique_ptr<soxr, Deleter> soxr_;  // null when the rate is already 8000
};

}  // namespace sirko_tool
