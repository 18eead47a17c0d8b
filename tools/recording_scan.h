// Finds every frame in a recording of any length. The decoder takes at most
// 80000 samples per call and reports only the strongest frame of what it is
// given, so a recording is searched window by window.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "varnel/AudioDecoder.h"

namespace sirko_tool {

// The decoder's capacity: 10 s at 8000 samples per second.
constexpr std::size_t kMaxWindowSamples = 80000;

struct FoundFrame {
  RawMessage_t message;
  std::size_t start_sample;  // in the whole recording
};

struct RecordingScan {
  std::vector<FoundFrame> frames;  // each distinct frame once, by start
  std::string failure;             // the decoder's message, when no frame was found
};

// Decodes one window; throws varnel::InvalidFrame when it holds no frame.
using WindowDecoder =
    std::function<varnel::AudioDecoder::LocatedFrame(const std::vector<unsigned char>&)>;

RecordingScan scan_recording(const std::vector<unsigned char>& samples,
                             const WindowDecoder& decode = varnel::AudioDecoder::locate_frame);

}  // namespace sirko_tool
