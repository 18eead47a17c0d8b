// DecodeBuffer: locate the frame, estimate speed and timing, decode, check.
#include <algorithm>

#include "demod.h"
#include "demod_internal.h"

namespace {

constexpr int kConstraintLength = 3;                             // K
constexpr int kMessageSymbols = 20;                              // 10 bytes of nibbles
constexpr int kInformationSymbols = kMessageSymbols + 4;         // L, with the CRC
constexpr int kCodedSymbols = 2 * (kInformationSymbols + kConstraintLength - 1);  // G
constexpr float kNominalSymbolBlocks = 5.0f;
constexpr float kSpeedTolerance = 0.042f;
constexpr float kFrameWindowBlocks = 2 + 5 * kCodedSymbols + 2;  // 264
constexpr float kWindowMarginBlocks = 25.0f;
constexpr int kCandidateOffsets[] = {0, -1, 1, -2, 2, -3, 3};  // in symbols
// Positions are float blocks; past this many samples a half-block step would
// no longer be exact.
constexpr int kMaxSamples = 1 << 24;

}  // namespace

const demod_kernels demod_default_kernels = {correl, ancnv};

int demod_decode(const unsigned char* samples, int count, unsigned char* message, int mode,
                 const demod_kernels& kernels, demod_trace* trace, demod_store** keep_store) {
  if (keep_store != nullptr) *keep_store = nullptr;
  if (samples == nullptr || message == nullptr || count <= 0 || count > kMaxSamples) {
    return DEMOD_NO_CANDIDATE;
  }
  const int block_length = mode > 0 ? 32 : 16;
  demod_store* store = demod_store_new(samples, count);
  if (store == nullptr) return DEMOD_NO_CANDIDATE;

  // Locate: coarse frame position over the whole input at nominal speed.
  // The last 3 blocks are the extent of the last correlation window.
  store->signal_start = 0;
  store->block_count = count / block_length - 3;
  energie(store, block_length);
  kernels.correl(store, 1.0f, block_length);
  const float coarse = position(store, store->block_count, kFrameWindowBlocks, block_length);

  // Re-window around it; block 0 becomes the window's first block.
  const float window_low = std::max(coarse - kWindowMarginBlocks, 0.0f);
  const float window_high = std::min(coarse + kFrameWindowBlocks + kWindowMarginBlocks,
                                     static_cast<float>(store->block_count));
  store->signal_start += static_cast<int>(window_low * static_cast<float>(block_length));
  store->block_count = static_cast<int>(window_high - window_low) - 3;
  // Float rounding of the window must never take a pass past the input.
  store->block_count = std::min(
      store->block_count, (count - store->signal_start) / block_length - 3);
  std::fill(store->energy, store->energy + store->block_capacity, 0.0f);
  energie(store, block_length);

  // Speed sweep, then its refinement. The magnitudes and peaks left behind
  // are those of the refinement's last evaluation.
  float sweep_alpha = 1.0f;
  float sweep_score = 0.0f;
  for (float alpha = 1.0f - kSpeedTolerance; alpha <= 1.0f + kSpeedTolerance;
       alpha += 2.0f * kSpeedTolerance / 10.0f) {
    const float score = kernels.correl(store, alpha, block_length);
    if (score > sweep_score) {
      sweep_score = score;
      sweep_alpha = alpha;
    }
  }
  const float alpha = demod_detail::doree_correl_using(kernels.correl, store, sweep_alpha - 0.015f,
                                                       sweep_alpha, sweep_alpha + 0.015f, 0.001f,
                                                       block_length);
  const float symbol_blocks = kNominalSymbolBlocks / alpha;  // W

  // Fine frame location at the estimated speed.
  const float frame_start = position(store, store->block_count,
                                     2.0f + symbol_blocks * kCodedSymbols + 2.0f, block_length);

  // Comb: half-block sweep over one symbol and a little, then refinement.
  float comb_start = frame_start;
  float comb_score = 0.0f;
  const float comb_end = frame_start + 2.0f + symbol_blocks + 2.0f;
  for (float start = frame_start; start < comb_end; start += 0.5f) {
    const float score = peigne(store, start, symbol_blocks, kCodedSymbols);
    if (score > comb_score) {
      comb_score = score;
      comb_start = start;
    }
  }
  const float first_symbol =
      doree_peigne(store, comb_start - symbol_blocks / 2.0f, comb_start,
                   comb_start + symbol_blocks / 2.0f, 0.2f, symbol_blocks, kCodedSymbols);

  // Candidates: the refined start, then whole symbols either side of it.
  const int n = store->block_count;
  unsigned char* symbols = nullptr;
  int decoded = 0;
  int check = -1;
  float candidate_start = first_symbol;
  for (int offset : kCandidateOffsets) {
    const float start = first_symbol + static_cast<float>(offset) * symbol_blocks;
    if (start < static_cast<float>(-n) ||
        start + static_cast<float>(kCodedSymbols) * symbol_blocks > static_cast<float>(2 * n)) {
      continue;
    }
    float* symbol_positions = dents(start, symbol_blocks, kCodedSymbols, block_length);
    delete[] symbols;
    symbols = kernels.ancnv(store, symbol_positions, kInformationSymbols, kCodedSymbols,
                            kConstraintLength);
    delete[] symbol_positions;
    ++decoded;
    candidate_start = start;
    // A trellis with no path to trace counts as a failed check.
    check = symbols != nullptr ? ancrc(symbols, kInformationSymbols) : -1;
    if (check >= 0) break;
  }

  int result;
  if (decoded > 0 && check == -1) {
    result = DEMOD_CHECK_FAILED;
  } else if (decoded == 0) {
    result = DEMOD_NO_CANDIDATE;
  } else {
    result = check;
  }

  if (result == DEMOD_OK) {
    unsigned char* y = mixeur(symbols, kMessageSymbols);
    for (int k = 0; k < kMessageSymbols / 2; ++k) {
      message[k] = static_cast<unsigned char>(y[2 * k] * 16 + y[2 * k + 1]);
    }
    delete[] y;
  }

  if (trace != nullptr) {
    *trace = demod_trace{};
    trace->alpha_sweep = sweep_alpha;
    trace->alpha = alpha;
    trace->symbol_length = symbol_blocks;
    trace->frame_start = frame_start;
    trace->comb_start = comb_start;
    trace->first_symbol = first_symbol;
    trace->window_start = store->signal_start;
    trace->window_blocks = store->block_count;
    trace->candidates = decoded;
    trace->accepted_start = candidate_start;
    if (symbols != nullptr) {
      std::copy(symbols, symbols + kInformationSymbols + kConstraintLength - 1, trace->symbols);
    }
  }

  delete[] symbols;
  if (keep_store != nullptr) {
    *keep_store = store;
  } else {
    demod_store_free(store);
  }
  return result;
}

int DecodeBuffer(const unsigned char* samples, int count, unsigned char* message, int mode) {
  return demod_decode(samples, count, message, mode, demod_default_kernels, nullptr, nullptr);
}
