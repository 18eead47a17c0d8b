#pragma once

#include <portaudio.h>

#include <cstddef>

namespace varnel {

// What the recorder delivers each recording period to.
class IAudioBuffer {
 public:
  virtual ~IAudioBuffer() = default;
  // PortAudio's callback: `input` holds frame_count samples, or is null.
  // Returns paContinue to keep recording or paAbort to end the stream.
  virtual int recordCallback(const void* input, void* output, unsigned long frame_count,
                             const PaStreamCallbackTimeInfo* time_info,
                             PaStreamCallbackFlags status_flags) = 0;
  virtual void clear() = 0;
  virtual std::size_t length() const = 0;
  virtual bool empty() const = 0;
};

}  // namespace varnel
