#include "tools/recording_scan.h"

#include <algorithm>

#include "demod/synth.h"
#include "varnel/DecoderException.h"

// How the windows are laid:
//
// A window of at most kMaxWindowSamples is decoded. When a frame is found,
// the part of the window before it is searched again (the decoder took the
// strongest frame and may have passed over an earlier one) and the search
// goes on where the fastest frame would end, so that a frame right after it
// is not cut; should that fail, once more from where the slowest would end,
// since the last tones of a slow frame can throw the decoder off the next.
// When no frame is found, the next window starts one longest frame plus a
// margin before the end of this one, so that every frame lies whole inside
// some window.
//
// One more step makes "no frame" trustworthy: the decoder settles on the
// strongest stretch of tones before it checks them, so a damaged frame (cut
// off, hit by noise) can hide a good one in the same window. A window that
// holds no frame is therefore searched again in short windows of about two
// frames, where the damaged one can hide at most a neighbour. A window of
// silence costs one long and a few short decodes, each a few milliseconds.
//
// The decoder tells frames apart by the quiet around them: frames less than
// about a tenth of a second apart may not all be found.
//
// This is simpler than asking the decoder for several candidates, and needs
// nothing from it but a frame and its start.

namespace sirko_tool {

namespace {

const std::size_t kShortestFrame = demod::frame_length_samples(1.042);
const std::size_t kLongestFrame = demod::frame_length_samples(0.958);
const std::size_t kSymbolSamples = demod::kSamplesPerSymbol;
// The decoder wants a little context around the frame it locates.
const std::size_t kOverlap = kLongestFrame + demod::kSampleRate / 2;
const std::size_t kShortWindow = kOverlap + kLongestFrame;

class Scanner {
 public:
  Scanner(const std::vector<unsigned char>& samples, const WindowDecoder& decode)
      : samples_(samples), decode_(decode) {}

  RecordingScan run() {
    scan(0, samples_.size(), kMaxWindowSamples);
    std::sort(
        result_.frames.begin(), result_.frames.end(),
        [](const FoundFrame& a, const FoundFrame& b) { return a.start_sample < b.start_sample; });
    if (!result_.frames.empty()) result_.failure.clear();
    return std::move(result_);
  }

 private:
  // Finds the frames in [begin, end) with windows of at most window_length.
  // The first window is decoded even when it is too short for a frame, so
  // that an empty or short recording gets the decoder's own message.
  void scan(std::size_t begin, std::size_t end, std::size_t window_length) {
    std::size_t position = begin;
    // Past the end of the frame just found, whatever its speed; 0 when the
    // window did not follow a frame.
    std::size_t retry_from = 0;
    while (true) {
      const std::size_t window_end = std::min(position + window_length, end);
      const std::vector<unsigned char> window(samples_.begin() + position,
                                              samples_.begin() + window_end);
      try {
        const varnel::AudioDecoder::LocatedFrame located = decode_(window);
        const std::size_t start = position + std::min(located.start_sample, window.size());
        add(located.message, start);
        if (start - position >= kShortestFrame) scan(position, start, window_length);
        // The start may be a little late and the frame as short as the
        // fastest one: step back a symbol so that a frame right after it is
        // not cut.
        position = start + kShortestFrame - kSymbolSamples;
        retry_from = start + kLongestFrame;
        if (position >= end || end - position < kShortestFrame) return;
      } catch (const varnel::InvalidFrame& no_frame) {
        result_.failure = no_frame.what();
        // The tail of a slower frame at the start of the window can throw
        // the decoder off a frame that follows closely.
        if (retry_from != 0 && retry_from < end && end - retry_from >= kShortestFrame) {
          position = retry_from;
          retry_from = 0;
          continue;
        }
        retry_from = 0;
        if (window_length > kShortWindow && window.size() > kShortWindow) {
          scan(position, window_end, kShortWindow);
        }
        if (window_end == end) return;
        position = window_end - kOverlap;
      }
    }
  }

  // The same frame seen from two windows comes back with nearly the same
  // start; two transmissions of one message cannot overlap by half a frame.
  void add(const RawMessage_t& message, std::size_t start) {
    for (const FoundFrame& known : result_.frames) {
      const std::size_t distance =
          known.start_sample > start ? known.start_sample - start : start - known.start_sample;
      if (known.message == message && distance < kShortestFrame / 2) return;
    }
    result_.frames.push_back({message, start});
  }

  const std::vector<unsigned char>& samples_;
  const WindowDecoder& decode_;
  RecordingScan result_;
};

}  // namespace

RecordingScan scan_recording(const std::vector<unsigned char>& samples,
                             const WindowDecoder& decode) {
  return Scanner(samples, decode).run();
}

}  // namespace sirko_tool
