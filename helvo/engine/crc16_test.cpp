#include "helvo/engine/crc16.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace helvo {
namespace {

// The textbook form: bit by bit, no tables.
std::uint16_t BitwiseCrc16(std::uint16_t crc, const unsigned char* p, size_t n) {
  unsigned c = crc;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xA001u : c >> 1;
  }
  return static_cast<std::uint16_t>(c);
}

TEST(Crc16, CheckValueAndIncrementalUpdate) {
  EXPECT_EQ(Crc16Update(0, "123456789"), 0xBB3D);
  std::uint16_t crc = Crc16Update(0, "1234");
  crc = Crc16Update(crc, "56789");
  EXPECT_EQ(crc, 0xBB3D);
  EXPECT_EQ(Crc16Update(0, ""), 0);
}

// The sliced form processes 16 bytes per step: every length, start alignment and running CRC must
// give what the bitwise form gives, including the tail bytes after the last whole step.
TEST(Crc16, SlicedFormEqualsBitwiseFormAtEveryLengthAndAlignment) {
  std::mt19937 random(20240304);
  std::vector<unsigned char> buffer(4096 + 16);
  for (unsigned char& b : buffer) b = static_cast<unsigned char>(random());
  for (size_t offset = 0; offset < 16; ++offset)
    for (size_t length = 0; length <= 64; ++length)
      for (std::uint16_t start : {std::uint16_t{0}, std::uint16_t{0xBB3D}, std::uint16_t{0xFFFF}})
        ASSERT_EQ(Crc16Update(start, buffer.data() + offset, length),
                  BitwiseCrc16(start, buffer.data() + offset, length))
            << "offset " << offset << ", length " << length << ", start " << start;
  EXPECT_EQ(Crc16Update(0, buffer.data() + 3, 4096), BitwiseCrc16(0, buffer.data() + 3, 4096));
}

}  // namespace
}  // namespace helvo
