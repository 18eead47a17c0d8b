#include "varnel/AudioRecorder.h"

#include <boost/numeric/conversion/cast.hpp>
#include <limits>
#include <portaudiocpp/Device.hxx>
#include <portaudiocpp/DirectionSpecificStreamParameters.hxx>
#include <portaudiocpp/StreamParameters.hxx>
#include <portaudiocpp/System.hxx>

namespace varnel {

AudioRecorder::AudioRecorder(double period_seconds, double sample_rate)
    : sample_rate_(sample_rate) {
  setPeriod(period_seconds);
}

void AudioRecorder::setPeriod(double period_seconds) {
  const double frames = sample_rate_ * period_seconds;
  try {
    frames_per_buffer_ = boost::numeric_cast<unsigned long>(frames);
  } catch (const boost::numeric::positive_overflow&) {
    frames_per_buffer_ = std::numeric_limits<unsigned long>::max();
  }
}

void AudioRecorder::start(IAudioBuffer& buffer) {
  portaudio::System& system = portaudio::System::instance();
  const portaudio::Device& default_device = system.defaultInputDevice();
  if (default_device.index() == paNoDevice) {
    throw NoInputDevice("Unable to find a microphone");
  }
  portaudio::Device& input_device = system.deviceByIndex(default_device.index());
  const portaudio::DirectionSpecificStreamParameters input(
      input_device, 1, portaudio::INT8, /*interleaved: one array of samples*/ true,
      input_device.defaultLowInputLatency(), nullptr);
  const portaudio::StreamParameters parameters(
      input, portaudio::DirectionSpecificStreamParameters::null(), sample_rate_,
      frames_per_buffer_, paClipOff | paDitherOff);
  if (!parameters.isSupported()) {
    throw BadAudioStreamParams("Unable to set the microphone to the desired sample rate and format");
  }
  stream_.open(parameters, buffer, &IAudioBuffer::recordCallback);
  stream_.start();
}

void AudioRecorder::stop() {
  stream_.abort();
  stream_.close();
}

bool AudioRecorder::isActive() const {
  return stream_.isActive();
}

}  // namespace varnel
