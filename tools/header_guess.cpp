#include "tools/header_guess.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace sirko_tool {

namespace {

// How the files libsndfile reads begin, when they begin with a marker: four
// letters that loud samples would have to spell by chance.
constexpr const char* kMarkers[] = {
    "RIFF", "RIFX", "RF64", "BW64", "riff",  // WAV, W64
    "FORM",                                  // AIFF, IFF
    ".snd", "dns.",                          // AU
    "fLaC", "OggS", "caff", "NIST", "Crea", "MATL", "PVF1", "Exte", "ALaw", "2BIT", "fap ", " paf",
    "ID3",  // MPEG audio with a tag
};

// Extensions of the formats libsndfile knows without a marker.
constexpr const char* kMarkerlessExtensions[] = {
    "mp1", "mp2", "mp3", "mpa",   "mpga", "m1a", "m2a",  // MPEG audio
    "mpc",                                               // MPC 2000
    "sds", "htk", "sf",  "ircam", "mat",
};

bool begins_with_marker(const std::vector<unsigned char>& bytes) {
  return std::any_of(std::begin(kMarkers), std::end(kMarkers), [&](const char* marker) {
    const std::size_t length = std::strlen(marker);
    return bytes.size() >= length && std::memcmp(bytes.data(), marker, length) == 0;
  });
}

std::string lower_case_extension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

bool may_carry_audio_header(const std::string& path, const std::vector<unsigned char>& bytes) {
  if (begins_with_marker(bytes)) return true;
  const std::string extension = lower_case_extension(path);
  return std::any_of(std::begin(kMarkerlessExtensions), std::end(kMarkerlessExtensions),
                     [&](const char* markerless) { return extension == markerless; });
}

}  // namespace sirko_tool
