#pragma once

namespace varnel {

// Silences the diagnostics that ALSA and JACK print on standard error while
// PortAudio probes for devices (a missing JACK server, say). Call it before
// PortAudio's system is initialised; it lasts for the process.
void quiet_audio_diagnostics();

// PortAudio's system for the lifetime of the object, with the diagnostics
// quietened first. For tools and tests; one at a time per process.
class AudioSystemSession {
 public:
  AudioSystemSession();
  ~AudioSystemSession();
  AudioSystemSession(const AudioSystemSession&) = delete;
  AudioSystemSession& operator=(const AudioSystemSession&) = delete;
};

}  // namespace varnel
