#include "reference_demod.h"

#include <cmath>
#include <vector>

float reference_correl(demod_store* store, float alpha, int block_length) {
  const int length = 3 * block_length;
  const float pi = 3.1415927f;
  float sine[16][96];
  float cosine[16][96];
  for (int t = 0; t < 16; ++t) {
    const float omega = ((alpha * pi) * 250) / tper[t];
    for (int n = 0; n < length; ++n) {
      const float angle = omega * n;
      sine[t][n] = static_cast<float>(std::sin(static_cast<double>(angle)));
      cosine[t][n] = static_cast<float>(std::cos(static_cast<double>(angle)));
    }
  }
  const int n_blocks = store->block_count;
  const float* x = store->samples + store->signal_start;
  float total = 0;
  for (int b = 0; b < n_blocks; ++b) {
    float peak = 0;
    for (int t = 0; t < 16; ++t) {
      float s = 0;
      float c = 0;
      for (int n = 0; n < length; ++n) {
        s += x[b * block_length + n] * sine[t][n];
        c += x[b * block_length + n] * cosine[t][n];
      }
      const float e = store->energy[b];
      float m = 0;
      if (e != 0) m = static_cast<float>(std::sqrt(static_cast<double>(s * s + c * c))) / e;
      store->magnitude[t][b] = m;
      if (m > peak) peak = m;
    }
    store->peak[b] = peak;
    total += peak;
  }
  return total / n_blocks;
}

unsigned char* reference_ancnv(const demod_store* store, const float* positions, int l, int g,
                               int k) {
  const int m = k - 1;
  if (l < 0 || m < 1 || g != 2 * (l + m)) return nullptr;
  int mm;
  const int (*generators)[2];
  int mask;
  int shift;
  unsigned char* reg;
  if (vb_adc_init(k, 16, &mm, &generators, &mask, &shift, &reg) != 0) return nullptr;
  const int columns = l + m + 1;
  const int states = 1 << (4 * m);
  std::vector<std::vector<int>> survivor(columns, std::vector<int>(states, -1));
  std::vector<float> metric(states, 0.0f);
  std::vector<float> next(states, -1.0f);
  survivor[0][0] = 0;
  for (int t = 1; t < columns; ++t) {
    const int inputs = t < columns - m ? 16 : 1;
    for (int s = 0; s < states; ++s) {
      if (survivor[t - 1][s] == -1) continue;
      for (int u = 0; u < inputs; ++u) {
        vb_branch branch{};
        branch.state = s;
        branch.input = static_cast<unsigned char>(u);
        vb_adc_netat(&branch, k, m, generators, mask, shift, reg);
        const float candidate = metric[s] + vb_metric(store, branch.first_output, positions[2 * t]) +
                                vb_metric(store, branch.second_output, positions[2 * t + 1]);
        if (candidate > next[branch.next_state]) {
          survivor[t][branch.next_state] = s;
          next[branch.next_state] = candidate;
        }
      }
    }
    metric = next;
    for (float& value : next) value = -1.0f;
  }
  delete[] reg;

  auto* decoded = new unsigned char[l + m];
  int out = l + m - 1;
  vb_branch branch{};
  branch.next_state = 0;
  vb_adc_symbol(&branch, m, mask, shift);
  decoded[out--] = branch.input;
  for (int t = columns - 1; t >= 2; --t) {
    const int previous = survivor[t][branch.next_state];
    if (previous < 0) {
      delete[] decoded;
      return nullptr;
    }
    branch.next_state = previous;
    vb_adc_symbol(&branch, m, mask, shift);
    decoded[out--] = branch.input;
  }
  return decoded;
}

const demod_kernels reference_kernels = {reference_correl, reference_ancnv};
