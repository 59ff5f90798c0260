// Security identifiers and access lists as plain values, shared by the file, share and
// account ports.
#ifndef QDW_PLATFORM_SECURITY_TYPES_H_
#define QDW_PLATFORM_SECURITY_TYPES_H_

#include <cstdint>
#include <string>
#include <utility>
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
// Kinds the ports carry without taking them apart (see Ace::raw).
inline constexpr uint8_t kAceAccessAllowedObject = 5;
inline constexpr uint8_t kAceAccessDeniedObject = 6;
inline constexpr uint8_t kAceAccessAllowedCallback = 9;

inline constexpr uint8_t kAceObjectInherit = 0x01;
inline constexpr uint8_t kAceContainerInherit = 0x02;
inline constexpr uint8_t kAceInheritOnly = 0x08;
inline constexpr uint8_t kAceInherited = 0x10;

// Access masks the system grants.
inline constexpr uint32_t kMaskRead = 0x1200A9;
inline constexpr uint32_t kMaskChange = 0x1301BF;
inline constexpr uint32_t kMaskFullControl = 0x1F01FF;

struct Ace {
  Ace() = default;
  Ace(uint8_t entry_type, uint8_t entry_flags, uint32_t entry_mask, Sid entry_sid)
      : type(entry_type), flags(entry_flags), mask(entry_mask), sid(std::move(entry_sid)) {}

  uint8_t type = kAceAccessAllowed;
  uint8_t flags = 0;
  uint32_t mask = 0;
  Sid sid;
  // The whole entry as stored (header included), for one the ports do not take apart: object,
  // callback and other kinds, or an allow or deny entry with bytes after its SID. Such an
  // entry is written back exactly as it came; `type` and `flags` repeat its header, and only an
  // allow or deny entry has `mask` and `sid` as well. Empty for entries built from the fields.
  std::vector<uint8_t> raw;

  // An entry carried as the bytes `entry` (at least its 4-byte header).
  static Ace Opaque(std::vector<uint8_t> entry);
  bool operator==(const Ace& o) const {
    return type == o.type && flags == o.flags && mask == o.mask && sid == o.sid && raw == o.raw;
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
