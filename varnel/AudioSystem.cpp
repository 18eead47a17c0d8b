#include "varnel/AudioSystem.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <portaudiocpp/System.hxx>

namespace varnel {

namespace {

void ignore_alsa(const char*, int, const char*, int, const char*, ...) {}
void ignore_jack(const char*) {}

}  // namespace

void quiet_audio_diagnostics() {
  snd_lib_error_set_handler(ignore_alsa);
  jack_set_error_function(ignore_jack);
  jack_set_info_function(ignore_jack);
}

AudioSystemSession::AudioSystemSession() {
  quiet_audio_diagnostics();
  portaudio::System::initialize();
}

AudioSystemSession::~AudioSystemSession() {
  portaudio::System::terminate();
}

}  // namespace varnel
