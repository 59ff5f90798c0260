#include "security/share_permission_codes.h"

#include "platform/security_types.h"

namespace qdw::security {

namespace {

struct CodeRow {
  int code;
  AceKind kind;
  uint32_t mask;
};

// The one table both directions use.
constexpr CodeRow kCodeTable[] = {
    {1, AceKind::kDenied, platform::kMaskRead},
    {2, AceKind::kAllowed, platform::kMaskRead},
    {3, AceKind::kDenied, platform::kMaskChange},
    {4, AceKind::kAllowed, platform::kMaskChange},
    {5, AceKind::kDenied, platform::kMaskFullControl},
    {6, AceKind::kAllowed, platform::kMaskFullControl},
};

constexpr int kUnknownMaskCode = 0;

}  // namespace

SharePermission PermissionForCode(int code) {
  for (const CodeRow& row : kCodeTable) {
    if (row.code == code) return SharePermission{row.kind, row.mask};
  }
  return SharePermission{AceKind::kAllowed, platform::kMaskRead};
}

ShareProxyPermission ProxyPermissionForCode(int code) {
  const SharePermission permission = PermissionForCode(code);
  ShareProxyPermission proxy;
  proxy.allow = permission.kind == AceKind::kAllowed;
  proxy.full_control = permission.mask == platform::kMaskFullControl;
  proxy.change = permission.mask == platform::kMaskChange;
  proxy.read = permission.mask == platform::kMaskRead;
  return proxy;
}

int CodeForEntry(AceKind kind, uint32_t mask) {
  for (const CodeRow& row : kCodeTable) {
    if (row.kind == kind && row.mask == mask) return row.code;
  }
  if (kind == AceKind::kAllowed) return kUnknownMaskCode;
  // Rows are ordered read, change, full: the first denying level that covers the mask.
  for (const CodeRow& row : kCodeTable) {
    if (row.kind == AceKind::kDenied && (mask & ~row.mask) == 0) return row.code;
  }
  // Rights beyond every level: deny full control.
  return 5;
}

}  // namespace qdw::security
