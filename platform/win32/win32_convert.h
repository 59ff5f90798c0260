// Conversions between the ports' plain values and the Win32 structures. Only for the port's
// own sources: it needs <windows.h>.
#ifndef QDW_PLATFORM_WIN32_WIN32_CONVERT_H_
#define QDW_PLATFORM_WIN32_WIN32_CONVERT_H_

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/file_time.h"
#include "platform/security_types.h"

namespace qdw::win32 {

inline platform::FileTime FromFiletime(const FILETIME& time) {
  return platform::FileTime{(static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                            time.dwLowDateTime};
}

inline FILETIME ToFiletime(platform::FileTime time) {
  FILETIME out;
  out.dwLowDateTime = static_cast<DWORD>(time.ticks & 0xFFFFFFFFu);
  out.dwHighDateTime = static_cast<DWORD>(time.ticks >> 32);
  return out;
}

// Copies a SID the system handed out; an invalid one gives an empty Sid.
platform::Sid SidFromWin32(PSID sid);

// Every entry of a Win32 ACL in stored order: allow and deny entries taken apart, any other
// kind carried as its bytes (platform::Ace::raw). A null ACL gives an empty list.
platform::Acl AclFromWin32(const ACL* acl);

// Builds a Win32 ACL from the entries into `buffer` (kept by the caller while the ACL is
// used): entries with bytes of their own go in as they are, byte for byte. False when an entry
// built from its fields has an invalid SID, or carried bytes are not one whole entry.
bool BuildWin32Acl(const platform::Acl& acl, std::vector<uint8_t>* buffer);

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_CONVERT_H_
