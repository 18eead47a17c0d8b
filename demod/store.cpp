#include <cstdlib>
#include <new>

#include "demod.h"

demod_store* demod_store_new(const unsigned char* samples, int count) {
  if (count < 0 || (count > 0 && samples == nullptr)) return nullptr;
  // Enough blocks for the whole input at the 16-sample block, the shorter one.
  const int blocks = count / 16 + 1;
  const std::size_t floats = static_cast<std::size_t>(count) +
                             static_cast<std::size_t>(blocks) * (1 + 16 + 1);
  // One zero-filled allocation: the header, then every array.
  void* memory = std::calloc(1, sizeof(demod_store) + floats * sizeof(float));
  if (memory == nullptr) return nullptr;
  auto* store = new (memory) demod_store{};
  float* cursor = reinterpret_cast<float*>(static_cast<char*>(memory) + sizeof(demod_store));
  store->samples = cursor;
  cursor += count;
  store->energy = cursor;
  cursor += blocks;
  for (float*& row : store->magnitude) {
    row = cursor;
    cursor += blocks;
  }
  store->peak = cursor;
  store->sample_count = count;
  store->block_capacity = blocks;
  for (int i = 0; i < count; ++i) store->samples[i] = static_cast<float>(samples[i]);
  return store;
}

void demod_store_free(demod_store* store) {
  std::free(store);
}

float demod_peak_at(const demod_store* store, int b) {
  return (b >= 0 && b < store->block_capacity) ? store->peak[b] : 0.0f;
}
