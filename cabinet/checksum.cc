#include "cabinet/checksum.h"

#include <cstring>

namespace qdw::cab {

uint32_t CabChecksum(const uint8_t* data, size_t size, uint32_t seed) {
  uint32_t sum = seed;
  size_t words = size / 4;
  // Two words at a time, folded at the end.
  uint64_t wide = 0;
  size_t i = 0;
  for (; i + 2 <= words; i += 2) {
    uint64_t pair;
    std::memcpy(&pair, data + i * 4, 8);
    wide ^= pair;
  }
  // XOR works byte by byte, so the folded bytes are in memory order on any host.
  uint8_t folded[8];
  std::memcpy(folded, &wide, 8);
  for (int half = 0; half < 2; ++half) {
    const uint8_t* p = folded + half * 4;
    sum ^= static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
  for (; i < words; ++i) {
    const uint8_t* p = data + i * 4;
    sum ^= static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
  uint32_t tail = 0;
  for (size_t j = words * 4; j < size; ++j) tail = (tail << 8) | data[j];
  return sum ^ tail;
}

uint32_t DataBlockChecksum(const uint8_t* payload, uint16_t cbData, uint16_t cbUncomp) {
  uint8_t sizes[4] = {static_cast<uint8_t>(cbData), static_cast<uint8_t>(cbData >> 8),
                      static_cast<uint8_t>(cbUncomp), static_cast<uint8_t>(cbUncomp >> 8)};
  return CabChecksum(sizes, 4, CabChecksum(payload, cbData, 0));
}

}  // namespace qdw::cab
