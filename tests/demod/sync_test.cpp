#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demod/demod.h"
#include "demod/golden.h"
#include "demod/synth.h"
#include "store_fixture.h"

namespace {

using test_store::make_empty_store;
using test_store::make_store;

// A steady tone of symbol `symbol` played at speed `speed`, as unsigned bytes.
std::vector<unsigned char> steady_tone(int symbol, double speed, int samples) {
  demod::SynthOptions options;
  options.speed = speed;
  options.encoding = demod::SampleEncoding::unsigned8;
  std::vector<unsigned char> coded(60, static_cast<unsigned char>(symbol));
  std::vector<unsigned char> tone = demod::synthesize_symbols(coded, options);
  tone.resize(samples);
  return tone;
}

test_store::StorePtr analysed(const std::vector<unsigned char>& samples, int block_length) {
  auto store = make_store(samples);
  store->block_count = static_cast<int>(samples.size()) / block_length - 3;
  energie(store.get(), block_length);
  return store;
}

TEST(Energie, IsTheRootOfThreeBlocksOfSquares) {
  std::vector<unsigned char> samples(32 * 8);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<unsigned char>(i % 7);
  auto store = analysed(samples, 32);
  ASSERT_EQ(store->block_count, 5);
  for (int b = 0; b < 5; ++b) {
    double sum = 0;
    for (int i = b * 32; i < (b + 3) * 32; ++i) sum += double(samples[i]) * samples[i];
    EXPECT_FLOAT_EQ(store->energy[b], std::sqrt(sum)) << b;
  }
  EXPECT_EQ(store->energy[5], 0.0f);  // nothing written past N
}

TEST(Correl, SilenceHasZeroMagnitudes) {
  auto store = analysed(std::vector<unsigned char>(3200, 0), 32);
  EXPECT_EQ(correl(store.get(), 1.0f, 32), 0.0f);
  for (int t = 0; t < 16; ++t) EXPECT_EQ(store->magnitude[t][10], 0.0f);
}

TEST(Correl, NominalToneIsStrongestAtItsOwnSymbol) {
  for (int symbol : {0, 5, 8, 15}) {
    auto store = analysed(steady_tone(symbol, 1.0, 3200), 32);
    correl(store.get(), 1.0f, 32);
    for (int t = 0; t < 16; ++t) {
      if (t == symbol) continue;
      EXPECT_GT(store->magnitude[symbol][40], store->magnitude[t][40]) << symbol << " vs " << t;
    }
    EXPECT_EQ(store->peak[40], store->magnitude[symbol][40]);
  }
}

TEST(Correl, FastToneScoresHigherAtItsOwnSpeed) {
  auto store = analysed(steady_tone(6, 1.03, 3200), 32);
  const float at_nominal = correl(store.get(), 1.0f, 32);
  const float at_own_speed = correl(store.get(), 1.03f, 32);
  EXPECT_GT(at_own_speed, at_nominal);
}

TEST(Correl, NoBlocksGivesNotANumber) {
  auto store = make_empty_store(0);
  EXPECT_TRUE(std::isnan(correl(store.get(), 1.0f, 32)));
}

class PeakFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = make_empty_store(20);
    for (int b = 0; b < 20; ++b) store_->peak[b] = static_cast<float>(b);
  }
  test_store::StorePtr store_;
};

TEST_F(PeakFixture, FamtWeighsTheEndBlocksByTheirFractions) {
  // First block weight (start + 1) - i0, whole blocks, last block end - i1.
  EXPECT_FLOAT_EQ(famt(store_.get(), 2.5f, 3.0f), (1.5f * 2 + 3 + 4 + 0.5f * 5) / 3.0f);
  EXPECT_FLOAT_EQ(famt(store_.get(), 4.0f, 2.0f), (1.0f * 4 + 5 + 0.0f * 6) / 2.0f);
}

TEST_F(PeakFixture, FamtPastTheLastBlockIsCutShortButDividedByTheFullLength) {
  EXPECT_FLOAT_EQ(famt(store_.get(), 17.0f, 6.0f), (1.0f * 17 + 18 + 19) / 6.0f);
}

TEST_F(PeakFixture, PositionOfAWindowNoShorterThanTheBlocksIsZero) {
  EXPECT_EQ(position(store_.get(), 20, 20.0f, 32), 0.0f);
  EXPECT_EQ(position(store_.get(), 20, 25.0f, 32), 0.0f);
}

TEST(Position, FindsTheBestWindow) {
  auto store = make_empty_store(400);
  for (int b = 150; b < 200; ++b) store->peak[b] = 1.0f;
  EXPECT_NEAR(position(store.get(), 400, 50.0f, 32), 150.0f, 1.0f);
}

TEST(GoldenMaximum, ConvergesOnAPeakWithOneEvaluationPerIteration) {
  int evaluations = 0;
  int iterations = 0;
  const float found = demod_detail::golden_maximum(0.0f, 2.0f, 10.0f, 0.01f, [&](float x) {
    ++evaluations;
    return -(x - 3.3f) * (x - 3.3f);
  });
  EXPECT_NEAR(found, 3.3f, 0.01f);
  // Each iteration shrinks the bracket at least to 0.618034 of its width.
  for (float width = 10.0f; width > 0.01f; width *= 0.618034f) ++iterations;
  EXPECT_LE(evaluations, iterations + 2);
}

TEST(GoldenMaximum, ConstantFunctionMovesTowardLowerArgumentsAndReturnsX2) {
  // Ties always keep the lower part, so the final bracket hugs a; x2 is its
  // upper probe.
  const float found = demod_detail::golden_maximum(0.0f, 5.0f, 10.0f, 0.5f, [](float) { return 1.0f; });
  EXPECT_GT(found, 0.0f);
  EXPECT_LT(found, 0.5f);
  float x1 = 5.0f - 0.38196602f * 5.0f;  // c - b == b - a: the probe goes left of b
  float x2 = 5.0f;
  float x0 = 0.0f;
  float x3 = 10.0f;
  while (x3 - x0 > 0.5f) {
    x3 = x2;
    x2 = x1;
    x1 = 0.618034f * x2 + 0.38196602f * x0;
  }
  EXPECT_EQ(found, x2);
}

TEST(Peigne, WholeNumberTeethReadOnePeakEach) {
  auto store = make_empty_store(100);
  for (int b = 0; b < 100; ++b) store->peak[b] = static_cast<float>(b % 5 == 2);
  EXPECT_EQ(peigne(store.get(), 2.0f, 5.0f, 18), 1.0f);
  EXPECT_EQ(peigne(store.get(), 4.0f, 5.0f, 18), 0.0f);
  EXPECT_FLOAT_EQ(peigne(store.get(), 2.5f, 5.0f, 18), 0.5f);
}

TEST(Peigne, TeethOutsideTheStoreReadZero) {
  auto store = make_empty_store(10);
  for (int b = 0; b < store->block_capacity; ++b) store->peak[b] = 1.0f;
  // A tooth at -1.5 reads P[-1] (as 0) and P[0] with weight -0.5; a tooth
  // far past the store reads nothing.
  EXPECT_FLOAT_EQ(peigne(store.get(), -1.5f, 1000.0f, 2), (-0.5f * 1.0f) / 2.0f);
}

TEST(Dents, ArithmeticSequenceAfterTwoLeadingEntries) {
  std::unique_ptr<float[]> positions(dents(3.25f, 4.8f, 52, 32));
  for (int i = 0; i < 52; ++i) EXPECT_EQ(positions[i + 2], 3.25f + static_cast<float>(i) * 4.8f) << i;
}

}  // namespace
