#include "helvo/engine/crc16.h"

#include <array>

namespace helvo {

namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned v = i;
    for (int k = 0; k < 8; ++k) v = (v & 1u) ? (v >> 1) ^ 0xA001u : v >> 1;
    table[i] = static_cast<std::uint16_t>(v);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  unsigned c = crc;
  for (std::size_t i = 0; i < size; ++i) c = kTable[(c ^ p[i]) & 0xFFu] ^ (c >> 8);
  return static_cast<std::uint16_t>(c);
}

}  // namespace helvo
