// Recordings as the decoder takes them: mono signed 8-bit samples at 8000 per
// second, one byte each, read from audio files of any format and rate.
#pragma once

#include <string>
#include <vector>

namespace sirko_tool {

// Any file libsndfile reads (WAV, FLAC, Ogg, ...), mixed to mono, resampled
// and converted with stream_sample; a file with no recognised header is
// taken as it is, as headerless 8-bit samples at 8000 per second. Throws
// FileError naming the file.
std::vector<unsigned char> read_recording(const std::string& path);

// Mono 16-bit PCM WAV at 8000 per second; each signed 8-bit sample becomes
// its 16-bit equal (times 256), so that read_recording gives it back exactly.
void write_wav_file(const std::string& path, const std::vector<unsigned char>& samples);

// One sample (full scale +-1) as the microphone stream's byte.
unsigned char stream_sample(float value);

}  // namespace sirko_tool
