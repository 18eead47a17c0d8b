// Audio files for the tool's tests, made with libsndfile: frames sounded at
// any sample rate, as a device's recording of one would hold them.
#pragma once

#include <string>
#include <vector>

#include "demod/synth.h"

namespace tool_test {

// The frame's tones at `rate` samples per second, full scale +-1, with
// silence before and after; the same tones the synthesizer makes at 8000.
std::vector<float> frame_at_rate(const demod::MessageBytes& message, double rate,
                                 double lead_seconds, double tail_seconds,
                                 double amplitude = 100.0 / 128);

// Writes interleaved samples; false when libsndfile cannot write `format`
// here (an optional codec left out of its build, say).
bool write_sound_file(const std::string& path, int format, int rate, int channels,
                      const std::vector<float>& interleaved);

// One channel per entry, all of the same length, interleaved.
std::vector<float> interleave(const std::vector<std::vector<float>>& channels);

}  // namespace tool_test
