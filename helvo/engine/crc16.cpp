#include "helvo/engine/crc16.h"

#include <array>
#include <bit>
#include <cstring>

namespace helvo {

namespace {

// Sixteen tables for processing sixteen bytes per step ("slicing"): kTables[0] is the standard
// byte-at-a-time table; kTables[k][b] is the CRC change of byte b followed by k zero bytes. Each
// step then costs one table look-up per byte and no dependency from byte to byte, which is what
// makes it several times faster than the byte-at-a-time loop while giving the same CRC.
constexpr int kSlices = 16;
using Tables = std::array<std::array<std::uint16_t, 256>, kSlices>;

constexpr Tables MakeTables() {
  Tables t{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned v = i;
    for (int k = 0; k < 8; ++k) v = (v & 1u) ? (v >> 1) ^ 0xA001u : v >> 1;
    t[0][i] = static_cast<std::uint16_t>(v);
  }
  for (int k = 1; k < kSlices; ++k)
    for (unsigned i = 0; i < 256; ++i)
      t[k][i] = static_cast<std::uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu]);
  return t;
}

constexpr Tables kTables = MakeTables();

// Eight bytes as a little-endian number, whatever the machine's byte order.
inline std::uint64_t LoadLittle64(const unsigned char* p) {
  std::uint64_t v;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, sizeof v);
  } else {
    v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  }
  return v;
}

inline unsigned Slice8(std::uint64_t w, int first) {
  return kTables[first + 7][w & 0xFFu] ^ kTables[first + 6][(w >> 8) & 0xFFu] ^
         kTables[first + 5][(w >> 16) & 0xFFu] ^ kTables[first + 4][(w >> 24) & 0xFFu] ^
         kTables[first + 3][(w >> 32) & 0xFFu] ^ kTables[first + 2][(w >> 40) & 0xFFu] ^
         kTables[first + 1][(w >> 48) & 0xFFu] ^ kTables[first][w >> 56];
}

}  // namespace

std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  unsigned c = crc;
  for (; size >= kSlices; size -= kSlices, p += kSlices) {
    // The running CRC enters through the first two bytes of the block.
    const std::uint64_t first = LoadLittle64(p) ^ c;
    const std::uint64_t second = LoadLittle64(p + 8);
    c = Slice8(first, 8) ^ Slice8(second, 0);
  }
  for (; size > 0; --size) c = kTables[0][(c ^ *p++) & 0xFFu] ^ (c >> 8);
  return static_cast<std::uint16_t>(c);
}

}  // namespace helvo
