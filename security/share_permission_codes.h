// The permission codes of the share information file: which access entry each code stands
// for, and the code recorded for an entry. Odd codes deny, even codes allow; the masks are
// the disk share permissions Read, Change and Full Control.
#ifndef QDW_SECURITY_SHARE_PERMISSION_CODES_H_
#define QDW_SECURITY_SHARE_PERMISSION_CODES_H_

#include <cstdint>

#include "security/dacl_builder.h"

namespace qdw::security {

struct SharePermission {
  AceKind kind = AceKind::kAllowed;
  uint32_t mask = 0;
};

// The decision handed to the product's share service for one account.
struct ShareProxyPermission {
  bool allow = true;
  bool full_control = false;
  bool change = false;
  bool read = true;
};

// Codes 1 to 6; any other code grants read.
SharePermission PermissionForCode(int code);
ShareProxyPermission ProxyPermissionForCode(int code);

// The code recorded for an entry. An allowed entry with a mask other than the three levels
// gets 0 (read back as allowed read). A denied entry with such a mask gets the denying code of
// the smallest level that covers every denied right, so it is never read back as an allowed
// entry.
int CodeForEntry(AceKind kind, uint32_t mask);

}  // namespace qdw::security

#endif  // QDW_SECURITY_SHARE_PERMISSION_CODES_H_
