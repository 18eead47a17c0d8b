// Symbol timing: the comb of block peaks and the symbol position list.
#include "demod.h"
#include "golden.h"

float peigne(const demod_store* store, float start, float spacing, int count) {
  float sum = 0.0f;
  for (int i = 0; i < count; ++i) {
    // Each tooth interpolates between the peaks of the two blocks around it;
    // teeth outside the analysed blocks use the same formula.
    const float x = start + static_cast<float>(i) * spacing;
    const int k = static_cast<int>(x);
    sum += (static_cast<float>(k + 1) - x) * demod_peak_at(store, k) +
           (x - static_cast<float>(k)) * demod_peak_at(store, k + 1);
  }
  return sum / static_cast<float>(count);
}

float doree_peigne(const demod_store* store, float a, float b, float c, float tolerance,
                   float spacing, int count) {
  return demod_detail::golden_maximum(
      a, b, c, tolerance, [&](float start) { return peigne(store, start, spacing, count); });
}

float* dents(float start, float spacing, int count, int /*block_length*/) {
  if (count < 0) return nullptr;
  // Two leading entries, so that trellis stage t reads entries 2t and 2t + 1.
  float* positions = new float[count + 2]();
  for (int i = 0; i < count; ++i) positions[i + 2] = start + static_cast<float>(i) * spacing;
  return positions;
}
