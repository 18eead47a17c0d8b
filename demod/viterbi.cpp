// Rate-1/2 convolutional code over 4-bit symbols: soft-decision Viterbi
// decoder and the matching encoder.
#include <algorithm>
#include <vector>

#include "demod.h"

namespace {

const int (*generators_for(int k))[2] {
  switch (k) {
    case 3: return g3;
    case 5: return g5;
    case 7: return g7;
    case 9: return g9;
    default: return nullptr;
  }
}

}  // namespace

int vb_adc_init(int k, int q, int* m, const int (**generators)[2], int* mask, int* shift,
                unsigned char** reg) {
  // 16-ary trellises of K = 7 and 9 would have 16^6 and 16^8 states.
  if (k != 3 && k != 5) return -1;
  switch (q) {
    case 2: *mask = 1; *shift = 1; break;
    case 4: *mask = 3; *shift = 2; break;
    case 8: *mask = 7; *shift = 3; break;
    case 16: *mask = 15; *shift = 4; break;
    default: return -1;
  }
  *m = k - 1;
  *generators = generators_for(k);
  *reg = new unsigned char[k]();
  return 0;
}

void vb_adc_netat(vb_branch* branch, int k, int m, const int (*generators)[2], int mask,
                  int shift, unsigned char* reg) {
  for (int i = 0; i < m; ++i) reg[i] = (branch->state >> (shift * i)) & mask;
  reg[m] = branch->input;
  unsigned char first = 0;
  unsigned char second = 0;
  for (int i = 0; i < k; ++i) {
    if (generators[i][0] == 1) first ^= reg[i];
    if (generators[i][1] == 1) second ^= reg[i];
  }
  branch->first_output = first;
  branch->second_output = second;
  int next = branch->input;
  for (int i = m - 1; i >= 1; --i) next = (next << shift) | reg[i];
  branch->next_state = next;
}

void vb_adc_symbol(vb_branch* branch, int m, int mask, int shift) {
  branch->input = static_cast<unsigned char>((branch->next_state >> (shift * (m - 1))) & mask);
}

float vb_metric(const demod_store* store, unsigned char tone, float x) {
  const int n = store->block_count;
  const float* magnitude = store->magnitude[tone & 15];
  const int i = static_cast<int>(x);
  const int j = i + 1;
  if (j < 0) return 0.0f;
  if (i < 0) return (x - static_cast<float>(i)) * magnitude[j];
  if (j < n) return (static_cast<float>(j) - x) * magnitude[i] + (x - static_cast<float>(i)) * magnitude[j];
  if (i < n) return (static_cast<float>(j) - x) * magnitude[i];
  return 0.0f;
}

unsigned char* ancnv(const demod_store* store, const float* positions, int l, int g, int k) {
  const int m = k - 1;
  if (l < 0 || m < 1 || g != 2 * (l + m)) return nullptr;
  int code_memory;
  const int (*generators)[2];
  int mask;
  int shift;
  unsigned char* reg;
  if (vb_adc_init(k, 16, &code_memory, &generators, &mask, &shift, &reg) != 0) return nullptr;

  const int columns = l + m + 1;
  const int states = 1 << (shift * m);

  // A branch's score depends only on its tone and the coded symbol's
  // position: score each pair once instead of once per branch.
  std::vector<float> score(static_cast<std::size_t>(g) * 16);
  for (int j = 0; j < g; ++j) {
    for (int tone = 0; tone < 16; ++tone) {
      score[j * 16 + tone] = vb_metric(store, static_cast<unsigned char>(tone), positions[j + 2]);
    }
  }
  // Likewise every (state, input) branch of the trellis, walked once.
  std::vector<vb_branch> branches(static_cast<std::size_t>(states) * 16);
  for (int s = 0; s < states; ++s) {
    for (int u = 0; u < 16; ++u) {
      vb_branch& branch = branches[s * 16 + u];
      branch.state = s;
      branch.input = static_cast<unsigned char>(u);
      vb_adc_netat(&branch, k, m, generators, mask, shift, reg);
    }
  }
  delete[] reg;

  std::vector<int> survivor(static_cast<std::size_t>(columns) * states, -1);
  std::vector<float> metric(states, 0.0f);
  std::vector<float> next_metric(states, -1.0f);
  survivor[0] = 0;  // state 0 is the only starting state

  for (int t = 1; t < columns; ++t) {
    const int inputs = (t < columns - m) ? 16 : 1;  // the zero tail
    const float* first_score = &score[(2 * t - 2) * 16];
    const float* second_score = &score[(2 * t - 1) * 16];
    const int* live = &survivor[static_cast<std::size_t>(t - 1) * states];
    int* chosen = &survivor[static_cast<std::size_t>(t) * states];
    for (int s = 0; s < states; ++s) {
      if (live[s] == -1) continue;
      const vb_branch* branch = &branches[s * 16];
      for (int u = 0; u < inputs; ++u, ++branch) {
        const float candidate =
            metric[s] + first_score[branch->first_output] + second_score[branch->second_output];
        if (candidate > next_metric[branch->next_state]) {
          chosen[branch->next_state] = s;
          next_metric[branch->next_state] = candidate;
        }
      }
    }
    metric = next_metric;
    std::fill(next_metric.begin(), next_metric.end(), -1.0f);
  }

  // Trace back from state 0 in the last column, filling from the end.
  auto* decoded = new unsigned char[l + m];
  vb_branch branch{};
  int out = l + m - 1;
  for (int t = columns - 1; t >= 1; --t) {
    vb_adc_symbol(&branch, m, mask, shift);
    decoded[out--] = branch.input;
    if (t == 1) break;
    const int previous = survivor[static_cast<std::size_t>(t) * states + branch.next_state];
    if (previous < 0) {
      // No branch scored above the initial -1 into this state: there is no
      // path to trace.
      delete[] decoded;
      return nullptr;
    }
    branch.next_state = previous;
  }
  return decoded;
}

unsigned char* c_conv(const unsigned char* symbols, int l, int k) {
  const int (*generators)[2] = generators_for(k);
  if (generators == nullptr || l < 0) return nullptr;
  const int m = k - 1;
  // m zeros, the information symbols, m zeros (the tail).
  std::vector<unsigned char> reg(l + 2 * m, 0);
  std::copy(symbols, symbols + l, reg.begin() + m);
  auto* coded = new unsigned char[2 * (l + m)];
  for (int j = 0; j < l + m; ++j) {
    unsigned char first = 0;
    unsigned char second = 0;
    for (int i = 0; i < k; ++i) {
      if (generators[i][0] == 1) first ^= reg[j + i];
      if (generators[i][1] == 1) second ^= reg[j + i];
    }
    coded[2 * j] = first;
    coded[2 * j + 1] = second;
  }
  return coded;
}
