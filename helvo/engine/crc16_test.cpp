#include "helvo/engine/crc16.h"

#include <gtest/gtest.h>

namespace helvo {
namespace {

TEST(Crc16, CheckValueAndIncrementalUpdate) {
  EXPECT_EQ(Crc16Update(0, "123456789"), 0xBB3D);
  std::uint16_t crc = Crc16Update(0, "1234");
  crc = Crc16Update(crc, "56789");
  EXPECT_EQ(crc, 0xBB3D);
  EXPECT_EQ(Crc16Update(0, ""), 0);
}

}  // namespace
}  // namespace helvo
