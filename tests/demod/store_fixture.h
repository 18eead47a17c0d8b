// A working store with hand-set tone magnitudes and block peaks.
#pragma once

#include <memory>
#include <vector>

#include "demod/demod.h"

namespace test_store {

struct StoreDeleter {
  void operator()(demod_store* store) const { demod_store_free(store); }
};
using StorePtr = std::unique_ptr<demod_store, StoreDeleter>;

// A store over `samples`, or over silence with room for `blocks` blocks.
inline StorePtr make_store(const std::vector<unsigned char>& samples) {
  return StorePtr(demod_store_new(samples.data(), static_cast<int>(samples.size())));
}
inline StorePtr make_empty_store(int blocks) {
  const std::vector<unsigned char> silence(static_cast<std::size_t>(blocks) * 16, 0);
  StorePtr store = make_store(silence);
  store->block_count = blocks;
  return store;
}

}  // namespace test_store
