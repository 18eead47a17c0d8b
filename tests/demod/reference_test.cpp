// The production passes against their straightforward scalar forms: every
// float must match to the bit, through whole decodes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "demod/demod.h"
#include "demod/synth.h"
#include "frames.h"
#include "reference_demod.h"
#include "store_fixture.h"

namespace {

using test_frames::recording;

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

::testing::AssertionResult same_floats(const float* a, const float* b, int count) {
  for (int i = 0; i < count; ++i) {
    if (!same_bits(a[i], b[i])) {
      return ::testing::AssertionFailure() << "entry " << i << ": " << a[i] << " vs " << b[i];
    }
  }
  return ::testing::AssertionSuccess();
}

struct Buffer {
  std::string name;
  std::vector<unsigned char> samples;
};

std::vector<Buffer> buffers() {
  demod::SynthOptions fast;
  fast.speed = 1.037;
  demod::SynthOptions slow_unsigned;
  slow_unsigned.speed = 0.961;
  slow_unsigned.encoding = demod::SampleEncoding::unsigned8;
  demod::SynthOptions noisy;
  noisy.snr_db = 3.0;
  noisy.seed = 11;
  std::vector<unsigned char> random_bytes(40000);
  std::mt19937 engine(5);
  for (unsigned char& byte : random_bytes) byte = static_cast<unsigned char>(engine());
  return {
      {"nominal", recording(3.0, 1.1, {})},
      {"fast", recording(10.0, 7.3, fast)},
      {"slow_unsigned", recording(5.5, 0.2, slow_unsigned)},
      {"noisy", recording(4.0, 2.0, noisy)},
      {"silence", std::vector<unsigned char>(16000, 0)},
      {"random", random_bytes},
  };
}

class AgainstReference : public ::testing::TestWithParam<int> {};

TEST_P(AgainstReference, WholeDecodeIsBitIdentical) {
  const int mode = GetParam();
  for (const Buffer& buffer : buffers()) {
    SCOPED_TRACE(buffer.name + " mode " + std::to_string(mode));
    const int count = static_cast<int>(buffer.samples.size());
    unsigned char fast_message[10] = {};
    unsigned char slow_message[10] = {};
    demod_trace fast_trace{};
    demod_trace slow_trace{};
    demod_store* fast_store = nullptr;
    demod_store* slow_store = nullptr;
    const int fast_code = demod_decode(buffer.samples.data(), count, fast_message, mode,
                                       demod_default_kernels, &fast_trace, &fast_store);
    const int slow_code = demod_decode(buffer.samples.data(), count, slow_message, mode,
                                       reference_kernels, &slow_trace, &slow_store);
    test_store::StorePtr fast_owner(fast_store);
    test_store::StorePtr slow_owner(slow_store);

    EXPECT_EQ(fast_code, slow_code);
    EXPECT_EQ(std::memcmp(fast_message, slow_message, 10), 0);
    EXPECT_EQ(std::memcmp(&fast_trace, &slow_trace, sizeof fast_trace), 0)
        << "alpha " << fast_trace.alpha << " vs " << slow_trace.alpha << ", first symbol "
        << fast_trace.first_symbol << " vs " << slow_trace.first_symbol;
    const int capacity = fast_store->block_capacity;
    EXPECT_TRUE(same_floats(fast_store->energy, slow_store->energy, capacity));
    EXPECT_TRUE(same_floats(fast_store->peak, slow_store->peak, capacity));
    for (int t = 0; t < 16; ++t) {
      EXPECT_TRUE(same_floats(fast_store->magnitude[t], slow_store->magnitude[t], capacity)) << t;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BlockModes, AgainstReference, ::testing::Values(1, 0));

TEST(AgainstReference, CorrelationPassAcrossTheSpeedRange) {
  const std::vector<unsigned char> samples = recording(2.5, 0.6, {});
  for (int block_length : {16, 32}) {
    auto fast = test_store::make_store(samples);
    auto slow = test_store::make_store(samples);
    for (demod_store* store : {fast.get(), slow.get()}) {
      store->block_count = static_cast<int>(samples.size()) / block_length - 3;
      energie(store, block_length);
    }
    for (float alpha = 0.9f; alpha < 1.1f; alpha += 0.00731f) {
      const float fast_score = correl(fast.get(), alpha, block_length);
      const float slow_score = reference_correl(slow.get(), alpha, block_length);
      ASSERT_TRUE(same_bits(fast_score, slow_score)) << alpha << " block " << block_length;
      ASSERT_TRUE(same_floats(fast->peak, slow->peak, fast->block_count)) << alpha;
    }
  }
}

}  // namespace
