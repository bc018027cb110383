// CRC-16/ARC (reflected polynomial 0xA001, initial value 0, no final XOR) over the bytes of a
// settings file after its first five bytes. Check value over "123456789": 0xBB3D.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace helvo {

std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size);
inline std::uint16_t Crc16Update(std::uint16_t crc, std::string_view text) {
  return Crc16Update(crc, text.data(), text.size());
}
inline std::uint16_t Crc16Update(std::uint16_t crc, unsigned char byte) {
  return Crc16Update(crc, &byte, 1);
}

}  // namespace helvo
