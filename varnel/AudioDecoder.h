#pragma once

#include <cstddef>
#include <vector>

#include "varnel/DecoderException.h"
#include "varnel/RawMessage.h"

namespace varnel {

// The one way into the acoustic demodulator: samples in, ten raw bytes or
// InvalidFrame out. Stateless and reentrant.
class AudioDecoder {
 public:
  // Where in the samples a decoded frame was found.
  struct LocatedFrame {
    RawMessage_t message;
    std::size_t start_sample;  // first sample of the frame's first symbol
  };

  // Samples: one unsigned byte each, mono, 8000 per second.
  static RawMessage_t decode_buffer(const std::vector<unsigned char>& samples);
  // A file of headerless 8-bit samples at 8000 per second.
  static RawMessage_t decode_file(const char* path);
  // decode_buffer, also telling where the frame starts.
  static LocatedFrame locate_frame(const std::vector<unsigned char>& samples);
};

}  // namespace varnel
