#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "demod/demod.h"
#include "demod/synth.h"
#include "frames.h"

namespace {

using Symbols = std::vector<unsigned char>;

TEST(Crc, TableHasTheStandardEntries) {
  EXPECT_EQ(crc8005[0], 0x0000);
  EXPECT_EQ(crc8005[1], 0x8005);
  EXPECT_EQ(crc8005[2], 0x800F);
  EXPECT_EQ(crc8005[255], 0x0202);
}

TEST(Crc, CheckValueOfTheNineDigits) {
  // "123456789" as nibble pairs: 3 then 1, 3 then 2, ...
  Symbols digits;
  for (unsigned char d = 1; d <= 9; ++d) {
    digits.push_back(3);
    digits.push_back(d);
  }
  EXPECT_EQ(cacrc(digits.data(), static_cast<int>(digits.size())), 0xAEE7);
}

TEST(Crc, OddCountCoversWholeBytesOnly) {
  const Symbols symbols = {3, 1, 3, 2, 7};
  EXPECT_EQ(cacrc(symbols.data(), 5), cacrc(symbols.data(), 4));
}

class Ancrc : public ::testing::Test {
 protected:
  Symbols frame_ = demod::information_symbols(test_frames::kMessage);
};

TEST_F(Ancrc, AcceptsAnIntactFrame) {
  ASSERT_EQ(frame_.size(), 24u);
  EXPECT_EQ(cacrc(frame_.data(), 24), 0);
  EXPECT_EQ(ancrc(frame_.data(), 24), 0);
}

TEST_F(Ancrc, RepairsEverySingleBitAndRestoresIt) {
  for (int p = 0; p < 24; ++p) {
    for (unsigned char bit : {1, 2, 4, 8}) {
      Symbols received = frame_;
      received[p] ^= bit;
      ASSERT_EQ(ancrc(received.data(), 24), 1) << "symbol " << p << " bit " << int(bit);
      EXPECT_EQ(received, frame_) << "symbol " << p << " bit " << int(bit);
    }
  }
}

TEST_F(Ancrc, RejectsTwoFlippedBitsAndLeavesTheSymbolsAsReceived) {
  Symbols received = frame_;
  received[5] ^= 4;
  received[11] ^= 1;
  const Symbols as_received = received;
  EXPECT_EQ(ancrc(received.data(), 24), -1);
  EXPECT_EQ(received, as_received);
}

TEST(AncrcCount, UnusableCountsAreRejected) {
  Symbols zeros(25, 0);
  for (int count : {0, 2, 3, 25}) EXPECT_EQ(ancrc(zeros.data(), count), -1) << count;
}

TEST(Mixeur, ZerosStayZeros) {
  const Symbols zeros(20, 0);
  std::unique_ptr<unsigned char[]> y(mixeur(zeros.data(), 20));
  ASSERT_TRUE(y);
  EXPECT_EQ(Symbols(y.get(), y.get() + 20), zeros);
}

TEST(Mixeur, UndoesTheTransmittersMixing) {
  std::array<unsigned char, 20> message{};
  for (int i = 0; i < 20; ++i) message[i] = static_cast<unsigned char>((i * 7 + 3) & 15);
  const std::array<unsigned char, 20> mixed = demod::mix_nibbles(message);
  EXPECT_NE(mixed, message);
  std::unique_ptr<unsigned char[]> y(mixeur(mixed.data(), 20));
  ASSERT_TRUE(y);
  EXPECT_EQ(Symbols(y.get(), y.get() + 20), Symbols(message.begin(), message.end()));
}

TEST(Mixeur, OddCountGivesNull) {
  const Symbols symbols(21, 1);
  EXPECT_EQ(mixeur(symbols.data(), 21), nullptr);
}

}  // namespace
