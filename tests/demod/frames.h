// Test recordings made with the frame synthesizer.
#pragma once

#include <algorithm>
#include <vector>

#include "demod/synth.h"

namespace test_frames {

inline const demod::MessageBytes kMessage = {0x01, 0x23, 0x45, 0x67, 0x89,
                                             0xab, 0xcd, 0xef, 0x5a, 0xa5};

// A recording of `seconds` of silence with a frame whose first tone starts at
// `at_seconds`.
inline std::vector<unsigned char> recording(double seconds, double at_seconds,
                                            demod::SynthOptions options = {},
                                            const demod::MessageBytes& message = kMessage) {
  options.lead_seconds = at_seconds;
  options.tail_seconds = 0;
  std::vector<unsigned char> samples = demod::synthesize_frame(message, options);
  const auto total = static_cast<std::size_t>(seconds * demod::kSampleRate);
  const unsigned char silence = options.encoding == demod::SampleEncoding::signed8 ? 0 : 128;
  samples.resize(std::max(total, samples.size()), silence);
  samples.resize(total);
  return samples;
}

}  // namespace test_frames
