// Zeltpack round trips, the installer's empty history, and broken input.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "companion/zeltpack/zeltpack.h"

using zeltpack::ByteStream;
using zeltpack::MyCompression;
using zeltpack::MyDeCompression;

namespace {
ByteStream Bytes(const std::string& s) { return ByteStream(s.begin(), s.end()); }
}  // namespace

TEST(Zeltpack, RoundTripsEmptySmallAndLargeTexts) {
  std::mt19937 random(7);
  std::string large;
  while (large.size() < 10 * 1024 * 1024)
    large += "/home/user/音乐/track-" + std::to_string(random() % 100000) + ".mp3\r\n";
  for (const std::string& text : {std::string(), std::string("/m/a.mp4\r\n"), large}) {
    ByteStream packed, unpacked;
    ASSERT_EQ(MyCompression(Bytes(text), packed, 3), 0);
    EXPECT_FALSE(packed.empty());  // even nothing has a zlib header
    ASSERT_EQ(MyDeCompression(packed, unpacked), 0);
    EXPECT_EQ(unpacked, Bytes(text));
  }
  ByteStream out{1, 2};
  EXPECT_EQ(MyDeCompression({}, out), 0);
  EXPECT_TRUE(out.empty());
  EXPECT_LT(MyCompression(Bytes("x"), out, 12), 0);
}

TEST(Zeltpack, TheInstallersEightBytesAreAnEmptyHistory) {
  ByteStream out{9};
  EXPECT_EQ(MyDeCompression({0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}, out), 0);
  EXPECT_TRUE(out.empty());
}

TEST(Zeltpack, CorruptOrTruncatedInputFailsWithNothingOut) {
  ByteStream packed, out;
  ASSERT_EQ(MyCompression(Bytes(std::string(100000, 'a') + "tail"), packed, 3), 0);
  for (size_t cut : {size_t(1), size_t(2), packed.size() / 2, packed.size() - 1}) {
    EXPECT_LT(MyDeCompression(ByteStream(packed.begin(), packed.begin() + long(cut)), out), 0) << cut;
    EXPECT_TRUE(out.empty());
  }
  ByteStream flipped = packed;
  flipped[flipped.size() - 2] ^= 0xFF;  // the checksum
  EXPECT_LT(MyDeCompression(flipped, out), 0);
  std::mt19937 random(3);
  ByteStream noise(4096);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  EXPECT_LT(MyDeCompression(noise, out), 0);
  EXPECT_TRUE(out.empty());
}
