// The CFDATA checksum of the cabinet format.
#ifndef QDW_CABINET_CHECKSUM_H_
#define QDW_CABINET_CHECKSUM_H_

#include <cstddef>
#include <cstdint>

namespace qdw::cab {

// XOR of the bytes taken as little-endian 32-bit words, continuing from `seed`; 1 to 3 leftover
// bytes form one more value with the first leftover byte most significant.
uint32_t CabChecksum(const uint8_t* data, size_t size, uint32_t seed);

// Checksum stored in a CFDATA header: over the payload, then over the stored cbData and
// cbUncomp fields.
uint32_t DataBlockChecksum(const uint8_t* payload, uint16_t cbData, uint16_t cbUncomp);

}  // namespace qdw::cab

#endif  // QDW_CABINET_CHECKSUM_H_
