#include "varnel/AudioDecoder.h"

#include <fstream>
#include <iterator>
#include <limits>

#include "demod/demod.h"

namespace varnel {

namespace {

constexpr int kBlockMode = 1;  // 32 samples per block
constexpr int kBlockLength = 32;

}  // namespace

AudioDecoder::LocatedFrame AudioDecoder::locate_frame(const std::vector<unsigned char>& samples) {
  if (samples.empty()) {
    throw InvalidFrame("AudioDecoder::decode_buffer : Unable to decode empty buffer");
  }
  LocatedFrame frame{RawMessage_t(10, 0), 0};
  // The demodulator counts in int; a longer input is refused as undecodable.
  const int count = samples.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())
                        ? 0
                        : static_cast<int>(samples.size());
  demod_trace trace{};
  const int code = count > 0 ? demod_decode(samples.data(), count, frame.message.data(), kBlockMode,
                                            demod_default_kernels, &trace, nullptr)
                             : DEMOD_NO_CANDIDATE;
  if (code != DEMOD_OK) {
    throw InvalidFrame("AudioDecoder::decode_buffer : No decodable data in buffer");
  }
  const float start = static_cast<float>(trace.window_start) + trace.accepted_start * kBlockLength;
  frame.start_sample = start > 0.0f ? static_cast<std::size_t>(start) : 0;
  return frame;
}

RawMessage_t AudioDecoder::decode_buffer(const std::vector<unsigned char>& samples) {
  return locate_frame(samples).message;
}

RawMessage_t AudioDecoder::decode_file(const char* path) {
  std::vector<unsigned char> samples;
  std::ifstream file(path, std::ios::binary);
  if (file) {
    samples.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return decode_buffer(samples);
}

}  // namespace varnel
