#pragma once

#include <portaudiocpp/MemFunCallbackStream.hxx>

#include "varnel/IAudioBuffer.h"
#include "varnel/RecorderException.h"

namespace varnel {

// Records the default microphone, mono, signed 8-bit, and hands each period
// to an IAudioBuffer until the buffer ends the stream or the owner stops it.
// PortAudio's system must be initialised by the owner before start.
//
// Threads: start, stop and isActive run on one thread (the capture thread);
// PortAudio calls the buffer on its own audio thread. No lock: the stream's
// state orders the last callback before isActive turns false.
class AudioRecorder {
 public:
  AudioRecorder(double period_seconds, double sample_rate);

  // Frames per callback = sample rate x period, truncated; a product too
  // large for unsigned long saturates, a negative one throws
  // boost::numeric::bad_numeric_cast.
  void setPeriod(double period_seconds);
  unsigned long framesPerBuffer() const { return frames_per_buffer_; }

  // Throws NoInputDevice, BadAudioStreamParams or portaudio::PaException.
  void start(IAudioBuffer& buffer);
  // Aborts and closes the stream; portaudio::PaException when it is closed.
  void stop();
  // portaudio::PaException when the stream is closed.
  bool isActive() const;

 private:
  portaudio::MemFunCallbackStream<IAudioBuffer> stream_;
  double sample_rate_;
  unsigned long frames_per_buffer_ = 0;
};

}  // namespace varnel
