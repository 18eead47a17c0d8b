// Microphones for tests: the real road PortAudio -> ALSA -> callback, with
// no sound card. Each one writes an ALSA configuration whose only PCM is the
// default, and points this process (and the processes it starts) at it
// through ALSA_CONFIG_PATH; the paced ones also start a JACK server with the
// dummy driver for timing, stopped by its process id. Create one before
// PortAudio's system is initialised, and destroy it after it is terminated.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace test_audio {

class Microphone {
 public:
  // Delivers `samples` exactly, in real time, then zeros.
  static std::unique_ptr<Microphone> paced(const std::vector<unsigned char>& samples);
  // Delivers `samples` as fast as they are asked for; past their end it
  // repeats stale data, so use whole periods and stop after them.
  static std::unique_ptr<Microphone> fast(const std::vector<unsigned char>& samples);
  // No default input device at all.
  static std::unique_ptr<Microphone> none();
  // An input that takes only 32-bit float samples at 16000 per second.
  static std::unique_ptr<Microphone> unsuitable();

  ~Microphone();
  Microphone(const Microphone&) = delete;
  Microphone& operator=(const Microphone&) = delete;

  // Whether the JACK server, when there is one, is still running.
  bool server_running();

 private:
  Microphone();
  void write_config(const std::string& text);
  void start_server(int rate);
  void stop_server();

  std::string directory_;
  std::string server_name_;
  pid_t server_pid_ = -1;
};

// The samples' file as a config line may name it.
std::string samples_path_in(const std::string& directory);

// Fails the current test unless PortAudio's default input is ALSA's
// "default" device. Call after PortAudio's system is initialised.
void expect_default_input_is_alsa_default();

}  // namespace test_audio
