// Security identifiers and access lists as plain values, shared by the file, share and
// account ports.
#ifndef QDW_PLATFORM_SECURITY_TYPES_H_
#define QDW_PLATFORM_SECURITY_TYPES_H_

#include <cstdint>
#include <string>
#include <vector>

namespace qdw::platform {

// A security identifier in its binary Win32 layout (revision, sub-authority count,
// 6-byte authority, 32-bit sub-authorities little-endian).
struct Sid {
  std::vector<uint8_t> bytes;

  bool operator==(const Sid& o) const { return bytes == o.bytes; }
  bool operator!=(const Sid& o) const { return bytes != o.bytes; }
  bool IsValid() const;
  // "S-1-5-21-..." form; empty for an invalid SID.
  std::string ToString() const;
  // Parses the "S-1-..." form; false when it is not one.
  static bool Parse(const std::string& text, Sid* out);
  // S-1-1-0, the world group ("Everyone").
  static Sid World();
};

inline constexpr uint8_t kAceAccessAllowed = 0;
inline constexpr uint8_t kAceAccessDenied = 1;

inline constexpr uint8_t kAceObjectInherit = 0x01;
inline constexpr uint8_t kAceContainerInherit = 0x02;
inline constexpr uint8_t kAceInherited = 0x10;

// Access masks the system grants.
inline constexpr uint32_t kMaskRead = 0x1200A9;
inline constexpr uint32_t kMaskChange = 0x1301BF;
inline constexpr uint32_t kMaskFullControl = 0x1F01FF;

struct Ace {
  uint8_t type = kAceAccessAllowed;
  uint8_t flags = 0;
  uint32_t mask = 0;
  Sid sid;
  bool operator==(const Ace& o) const {
    return type == o.type && flags == o.flags && mask == o.mask && sid == o.sid;
  }
};

// Entries in stored order.
struct Acl {
  std::vector<Ace> entries;
  bool operator==(const Acl& o) const { return entries == o.entries; }
};

// A security descriptor reduced to what the system uses: its DACL.
struct SecurityDescriptor {
  bool dacl_present = false;  // false: no DACL at all (everyone has access)
  Acl dacl;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_SECURITY_TYPES_H_
