#include "varnel/AudioBuffer.h"

#include <algorithm>

#include "varnel/AudioDecoder.h"

namespace varnel {

namespace {

constexpr int kDemodulatorCapacity = 80000;

}  // namespace

AudioBuffer::AudioBuffer(int capacity)
    : capacity_(static_cast<std::size_t>(capacity > 0 ? capacity : kDemodulatorCapacity)) {
  window_.reserve(capacity_);
}

int AudioBuffer::recordCallback(const void* input, void* /*output*/, unsigned long frame_count,
                                const PaStreamCallbackTimeInfo* /*time_info*/,
                                PaStreamCallbackFlags /*status_flags*/) {
  if (input == nullptr) return paContinue;
  try {
    const bool decoded = attempt_decode(static_cast<const unsigned char*>(input), frame_count);
    return decoded ? paAbort : paContinue;
  } catch (...) {
    // Nothing may unwind into the audio library's thread; a failure here is
    // one more period without a frame.
    std::lock_guard<std::mutex> lock(mutex_);
    window_.clear();
    return paContinue;
  }
}

bool AudioBuffer::attempt_decode(const unsigned char* input, unsigned long frame_count) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.insert(queue_.end(), input, input + frame_count);
    // The demodulator takes at most capacity_ samples; the oldest beyond that
    // are dropped, so a frame arriving late in a long listen still fits.
    if (queue_.size() > capacity_) {
      queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(queue_.size() - capacity_));
    }
    window_.assign(queue_.begin(), queue_.end());
  }
  try {
    RawMessage_t message = AudioDecoder::decode_buffer(window_);
    std::lock_guard<std::mutex> lock(mutex_);
    raw_message_ = std::move(message);
    return true;
  } catch (const InvalidFrame&) {
    // No frame yet: a frame can still begin in the newest 7/8 of the period.
    std::lock_guard<std::mutex> lock(mutex_);
    window_.clear();
    const std::size_t drop = std::min<std::size_t>(frame_count / 8, queue_.size());
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(drop));
    return false;
  }
}

void AudioBuffer::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.clear();
  window_.clear();
}

std::size_t AudioBuffer::length() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return window_.size();
}

bool AudioBuffer::empty() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return window_.empty();
}

std::vector<unsigned char> AudioBuffer::samples() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return window_;
}

RawMessage_t AudioBuffer::raw_message() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return raw_message_;
}

}  // namespace varnel
