#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "varnel/IAudioBuffer.h"
#include "varnel/RawMessage.h"

namespace varnel {

// Accumulates the microphone's periods, decodes the kept samples after each
// one and ends the stream once a frame decodes.
//
// Threads: recordCallback runs on the audio callback thread; clear on the
// capture thread while no stream runs; samples and raw_message on any thread
// at any time. `mutex_` guards the queue, the window and the raw message
// whenever they change, and readers hold it while they copy. The decode
// itself reads the window without it (nothing else writes the window while a
// stream runs), so a reader never waits for a decode.
class AudioBuffer : public IAudioBuffer {
 public:
  // The window never exceeds `capacity` samples (80000 when capacity <= 0),
  // the most the demodulator takes in one call.
  explicit AudioBuffer(int capacity);

  int recordCallback(const void* input, void* output, unsigned long frame_count,
                     const PaStreamCallbackTimeInfo* time_info,
                     PaStreamCallbackFlags status_flags) override;
  void clear() override;
  std::size_t length() const override;
  bool empty() const override;

  // Copy of the decode window: the samples that decoded, after a success.
  std::vector<unsigned char> samples() const;
  // Copy of the last decoded frame's 10 bytes; empty until the first success.
  RawMessage_t raw_message() const;

 private:
  // Appends a period, decodes the kept samples; true when a frame decoded.
  bool attempt_decode(const unsigned char* input, unsigned long frame_count);

  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::deque<unsigned char> queue_;    // kept samples, oldest first
  std::vector<unsigned char> window_;  // the copy handed to the decoder
  RawMessage_t raw_message_;
};

}  // namespace varnel
