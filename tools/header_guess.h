// Whether a file may carry an audio header or is headerless 8-bit samples.
//
// libsndfile also recognises formats that have no marker of their own: MPEG
// audio by its frame sync, eleven set bits; the MPC 2000 format by two bytes;
// a few others by short binary patterns. Eight-bit samples meet those by
// chance (0xff 0xfb is -1, -5: near silence), and libsndfile then fails on
// them or reads them as something they are not. So it is asked only about
// files that begin with a format's own marker, or whose name gives one of
// the formats without a marker.
#pragma once

#include <string>
#include <vector>

namespace sirko_tool {

bool may_carry_audio_header(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace sirko_tool
