#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "demod/demod.h"
#include "store_fixture.h"

namespace {

using Symbols = std::vector<unsigned char>;
using test_store::make_empty_store;

Symbols information(int count) {
  Symbols u;
  for (int i = 0; i < count; ++i) u.push_back(static_cast<unsigned char>((i * 11 + 5) & 15));
  return u;
}

Symbols encode(const Symbols& u, int k) {
  std::unique_ptr<unsigned char[]> coded(c_conv(u.data(), static_cast<int>(u.size()), k));
  if (!coded) return {};
  return Symbols(coded.get(), coded.get() + 2 * (u.size() + k - 1));
}

TEST(CConv, RateHalfCodeWithGenerators7And5) {
  const Symbols u = information(24);
  const Symbols coded = encode(u, 3);
  ASSERT_EQ(coded.size(), 52u);
  auto at = [&](int j) -> unsigned char { return (j >= 0 && j < 24) ? u[j] : 0; };
  for (int j = 0; j < 26; ++j) {
    EXPECT_EQ(coded[2 * j], at(j - 2) ^ at(j - 1) ^ at(j)) << j;
    EXPECT_EQ(coded[2 * j + 1], at(j - 2) ^ at(j)) << j;
  }
}

TEST(CConv, TailDependsOnlyOnTheLastTwoSymbols) {
  Symbols u = information(24);
  const Symbols before = encode(u, 3);
  u[0] ^= 9;
  u[21] ^= 6;
  const Symbols after = encode(u, 3);
  EXPECT_TRUE(std::equal(before.end() - 4, before.end(), after.end() - 4));
}

TEST(CConv, EncodesEveryTabledConstraintLengthOnly) {
  const Symbols u = information(24);
  for (int k : {3, 5, 7, 9}) EXPECT_EQ(encode(u, k).size(), 2u * (24 + k - 1)) << k;
  for (int k : {0, 2, 4, 11}) EXPECT_EQ(c_conv(u.data(), 24, k), nullptr) << k;
}

TEST(VbAdcInit, AcceptsConstraintLengths3And5WithTheAlphabetMasks) {
  struct Case { int q, mask, shift; };
  for (const Case& c : {Case{2, 1, 1}, Case{4, 3, 2}, Case{8, 7, 3}, Case{16, 15, 4}}) {
    for (int k : {3, 5}) {
      int m = 0, mask = 0, shift = 0;
      const int (*generators)[2] = nullptr;
      unsigned char* reg = nullptr;
      ASSERT_EQ(vb_adc_init(k, c.q, &m, &generators, &mask, &shift, &reg), 0);
      EXPECT_EQ(m, k - 1);
      EXPECT_EQ(mask, c.mask);
      EXPECT_EQ(shift, c.shift);
      EXPECT_EQ(generators, k == 3 ? g3 : g5);
      delete[] reg;
    }
  }
  int m, mask, shift;
  const int (*generators)[2];
  unsigned char* reg;
  for (int k : {1, 4, 7, 9}) EXPECT_EQ(vb_adc_init(k, 16, &m, &generators, &mask, &shift, &reg), -1) << k;
  EXPECT_EQ(vb_adc_init(3, 10, &m, &generators, &mask, &shift, &reg), -1);
}

TEST(VbAdcNetat, ShiftsTheInputIntoTheHighestDigit) {
  int m, mask, shift;
  const int (*generators)[2];
  unsigned char* reg;
  ASSERT_EQ(vb_adc_init(3, 16, &m, &generators, &mask, &shift, &reg), 0);
  // state = 16 * u[j-1] + u[j-2]
  vb_branch branch{};
  branch.state = 16 * 0xA + 0x3;
  branch.input = 0x6;
  vb_adc_netat(&branch, 3, m, generators, mask, shift, reg);
  EXPECT_EQ(branch.next_state, 16 * 0x6 + 0xA);
  EXPECT_EQ(branch.first_output, 0x3 ^ 0xA ^ 0x6);
  EXPECT_EQ(branch.second_output, 0x3 ^ 0x6);
  vb_adc_symbol(&branch, m, mask, shift);
  EXPECT_EQ(branch.input, 0x6);
  delete[] reg;
}

TEST(VbMetric, InterpolatesInsideTheWindowOnly) {
  auto store = make_empty_store(10);
  for (int b = 0; b < 10; ++b) store->magnitude[7][b] = static_cast<float>(b + 1);
  EXPECT_EQ(vb_metric(store.get(), 7, 4.0f), 5.0f);
  EXPECT_EQ(vb_metric(store.get(), 7, 4.5f), 5.5f);
  EXPECT_EQ(vb_metric(store.get(), 7, 9.5f), 0.5f * 10.0f);  // last block: its share only
  EXPECT_EQ(vb_metric(store.get(), 7, 10.0f), 0.0f);
  EXPECT_EQ(vb_metric(store.get(), 7, 25.0f), 0.0f);
  EXPECT_EQ(vb_metric(store.get(), 7, -0.5f), 1.5f * 1.0f + -0.5f * 2.0f);  // i = 0 extrapolates
  EXPECT_EQ(vb_metric(store.get(), 7, -1.5f), -0.5f * 1.0f);
  EXPECT_EQ(vb_metric(store.get(), 7, -2.5f), 0.0f);
}

TEST(Ancnv, RefusesAMismatchedLengthOrAnUnsupportedCode) {
  auto store = make_empty_store(10);
  std::vector<float> positions(60, 0.0f);
  EXPECT_EQ(ancnv(store.get(), positions.data(), 24, 50, 3), nullptr);
  EXPECT_EQ(ancnv(store.get(), positions.data(), 24, 60, 7), nullptr);
  EXPECT_EQ(ancnv(store.get(), positions.data(), 24, 64, 9), nullptr);
}

TEST(Ancnv, DecodesIdealMagnitudesToTheInformationAndTheZeroTail) {
  // Tone magnitude 1 for the transmitted tone at each symbol's block, 0 elsewhere.
  const Symbols u = information(24);
  const Symbols coded = encode(u, 3);
  auto store = make_empty_store(300);
  const float start = 3.0f;
  const float spacing = 5.0f;
  std::unique_ptr<float[]> positions(dents(start, spacing, 52, 32));
  for (int i = 0; i < 52; ++i) {
    store->magnitude[coded[i]][static_cast<int>(positions[i + 2])] = 1.0f;
  }
  std::unique_ptr<unsigned char[]> decoded(ancnv(store.get(), positions.get(), 24, 52, 3));
  ASSERT_TRUE(decoded);
  Symbols expected = u;
  expected.push_back(0);
  expected.push_back(0);
  EXPECT_EQ(Symbols(decoded.get(), decoded.get() + 26), expected);
}

TEST(Ancnv, SilenceDecodesToZeros) {
  auto store = make_empty_store(300);
  std::unique_ptr<float[]> positions(dents(2.0f, 5.0f, 52, 32));
  std::unique_ptr<unsigned char[]> decoded(ancnv(store.get(), positions.get(), 24, 52, 3));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(Symbols(decoded.get(), decoded.get() + 26), Symbols(26, 0));
}

TEST(Ancnv, NoPathToTraceGivesNull) {
  // Every tone strong on block 0 and a first symbol where the interpolation
  // weight is -1: each first branch scores below the decoder's initial -1.
  auto store = make_empty_store(300);
  for (int t = 0; t < 16; ++t) store->magnitude[t][0] = 3.0f;
  std::unique_ptr<float[]> positions(dents(-1.99f, 0.0f, 52, 32));
  EXPECT_EQ(ancnv(store.get(), positions.get(), 24, 52, 3), nullptr);
}

}  // namespace
