// Frame synchronisation search: block energies, tone magnitudes, and the
// searches for the frame's start and the transmitter's speed.
#include <cmath>

#include "demod.h"
#include "demod_internal.h"
#include "golden.h"

namespace {

constexpr float kPi = 3.1415927f;
// Radians per sample per (1 / period in microseconds) at 8000 samples per
// second: 2 * 10^6 / 8000.
constexpr float kPeriodToRadians = 250.0f;
constexpr int kCorrelationBlocks = 3;
constexpr int kMaxCorrelationLength = kCorrelationBlocks * 32;

// The 16 tones side by side, so that one sample updates all their sums at
// once. Each lane keeps its own accumulation order, so the sums are the same
// as tone-by-tone loops would give.
typedef float tone_vector __attribute__((vector_size(16 * sizeof(float))));

struct tone_tables {
  tone_vector sine[kMaxCorrelationLength];
  tone_vector cosine[kMaxCorrelationLength];
};

// Angles formed in float, functions evaluated in double, stored as float.
void build_tone_tables(float alpha, int length, tone_tables& tables) {
  float omega[16];
  for (int tone = 0; tone < 16; ++tone) {
    omega[tone] = ((alpha * kPi) * kPeriodToRadians) / static_cast<float>(tper[tone]);
  }
  for (int n = 0; n < length; ++n) {
    for (int tone = 0; tone < 16; ++tone) {
      const double angle = static_cast<double>(omega[tone] * static_cast<float>(n));
      double sine;
      double cosine;
      sincos(angle, &sine, &cosine);
      tables.sine[n][tone] = static_cast<float>(sine);
      tables.cosine[n][tone] = static_cast<float>(cosine);
    }
  }
}

}  // namespace

void energie(demod_store* store, int block_length) {
  const int n = store->block_count;
  const float* x = store->samples + store->signal_start;
  for (int k = 0; k <= n + 2; ++k) {
    const float* block = x + k * block_length;
    float sum = 0.0f;
    for (int i = 0; i < block_length; ++i) sum += block[i] * block[i];
    // Block k is the first, second or third block of windows k, k-1 and k-2.
    for (int b = k; b >= k - 2; --b) {
      if (b >= 0 && b < n) store->energy[b] += sum;
    }
  }
  for (int b = 0; b < n; ++b) {
    store->energy[b] = static_cast<float>(std::sqrt(static_cast<double>(store->energy[b])));
  }
}

namespace {

// Magnitudes and peak of one block from its 16 tone sums; returns the peak.
__attribute__((always_inline)) inline float finish_block(demod_store* store, int b,
                                                         const tone_vector& s,
                                                         const tone_vector& c) {
  const tone_vector power = s * s + c * c;
  const float energy = store->energy[b];
  float peak = 0.0f;
  for (int tone = 0; tone < 16; ++tone) {
    const float magnitude =
        energy == 0.0f ? 0.0f
                       : static_cast<float>(std::sqrt(static_cast<double>(power[tone]))) / energy;
    store->magnitude[tone][b] = magnitude;
    if (magnitude > peak) peak = magnitude;
  }
  store->peak[b] = peak;
  return peak;
}

// The hot loop: every block's 16 tone sums over its correlation window.
// `Together` blocks are summed side by side: their sums are independent, so
// the additions overlap instead of waiting on each other, while every sum
// keeps its own order. Written once and compiled for several instruction
// sets below; every variant computes the same floats.
template <int Together>
__attribute__((always_inline)) inline float correlate_blocks(demod_store* store,
                                                             const tone_tables& tables, int length,
                                                             int block_length) {
  const int n = store->block_count;
  const float* x = store->samples + store->signal_start;
  float total = 0.0f;
  int b = 0;
  for (; b + Together <= n; b += Together) {
    tone_vector s[Together] = {};
    tone_vector c[Together] = {};
    for (int i = 0; i < length; ++i) {
      const tone_vector sine = tables.sine[i];
      const tone_vector cosine = tables.cosine[i];
#pragma GCC unroll 8
      for (int k = 0; k < Together; ++k) {
        const float sample = x[(b + k) * block_length + i];
        s[k] += sample * sine;
        c[k] += sample * cosine;
      }
    }
    for (int k = 0; k < Together; ++k) total += finish_block(store, b + k, s[k], c[k]);
  }
  for (; b < n; ++b) {
    tone_vector s = {};
    tone_vector c = {};
    for (int i = 0; i < length; ++i) {
      const float sample = x[b * block_length + i];
      s += sample * tables.sine[i];
      c += sample * tables.cosine[i];
    }
    total += finish_block(store, b, s, c);
  }
  return total / static_cast<float>(n);
}

using correlate_function = float (*)(demod_store*, const tone_tables&, int, int);

// As many blocks together as the registers hold accumulators for.
__attribute__((target("avx512f"))) float correlate_avx512(demod_store* store,
                                                          const tone_tables& tables, int length,
                                                          int block_length) {
  return correlate_blocks<4>(store, tables, length, block_length);
}

__attribute__((target("avx2"))) float correlate_avx2(demod_store* store, const tone_tables& tables,
                                                     int length, int block_length) {
  return correlate_blocks<2>(store, tables, length, block_length);
}

float correlate_baseline(demod_store* store, const tone_tables& tables, int length,
                         int block_length) {
  return correlate_blocks<1>(store, tables, length, block_length);
}

// Chosen once, at the first call, by what the processor supports. (Not an
// ifunc: a resolver runs before sanitizer runtimes are ready.)
correlate_function best_correlate() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) return correlate_avx512;
  if (__builtin_cpu_supports("avx2")) return correlate_avx2;
  return correlate_baseline;
}

}  // namespace

float correl(demod_store* store, float alpha, int block_length) {
  static const correlate_function correlate = best_correlate();
  const int length = kCorrelationBlocks * block_length;
  tone_tables tables;
  build_tone_tables(alpha, length, tables);
  return correlate(store, tables, length, block_length);
}

float famt(const demod_store* store, float start, float length) {
  const int n = store->block_count;
  // Linear weights: the tail of block i0, whole blocks, the head of block i1.
  const int i0 = static_cast<int>(start);
  float sum = ((start + 1.0f) - static_cast<float>(i0)) * demod_peak_at(store, i0);
  const float end = start + length;
  int i1 = static_cast<int>(end);
  if (i1 > n) i1 = n;
  for (int i = i0 + 1; i < i1; ++i) sum += demod_peak_at(store, i);
  if (i1 < n) sum += (end - static_cast<float>(i1)) * demod_peak_at(store, i1);
  return sum / length;
}

float doree_famt(const demod_store* store, float a, float b, float c, float tolerance,
                 float length) {
  return demod_detail::golden_maximum(a, b, c, tolerance,
                                      [&](float start) { return famt(store, start, length); });
}

float position(const demod_store* store, int n, float length, int /*block_length*/) {
  if (length >= static_cast<float>(n)) return 0.0f;
  const float span = static_cast<float>(n) - length;
  float step = length / 10.0f;
  if (span / step < 5.0f) step = span / 5.0f;

  float best_score = 0.0f;
  float best_start = 0.0f;
  for (float start = 0.0f; start < span; start += step) {
    const float score = famt(store, start, length);
    if (score > best_score) {
      best_score = score;
      best_start = start;
    }
  }
  float low = best_start - step;
  if (low < 0.0f) low = 0.0f;
  return doree_famt(store, low, best_start, best_start + step, 0.5f, length);
}

float demod_detail::doree_correl_using(correl_function correl_pass, demod_store* store, float a,
                                       float b, float c, float tolerance, int block_length) {
  return demod_detail::golden_maximum(
      a, b, c, tolerance, [&](float alpha) { return correl_pass(store, alpha, block_length); });
}

float doree_correl(demod_store* store, float a, float b, float c, float tolerance,
                   int block_length) {
  return demod_detail::doree_correl_using(correl, store, a, b, c, tolerance, block_length);
}
