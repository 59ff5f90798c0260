#include "security/share_permission_codes.h"

#include <gtest/gtest.h>

namespace qdw::security {
namespace {

TEST(SharePermissionCodesTest, CodesAndEntriesMapBothWays) {
  const uint32_t masks[] = {platform::kMaskRead, platform::kMaskChange, platform::kMaskFullControl};
  for (int code = 1; code <= 6; ++code) {
    const SharePermission permission = PermissionForCode(code);
    EXPECT_EQ(permission.kind, code % 2 == 1 ? AceKind::kDenied : AceKind::kAllowed) << code;
    EXPECT_EQ(permission.mask, masks[(code - 1) / 2]) << code;
    EXPECT_EQ(CodeForEntry(permission.kind, permission.mask), code);
  }
}

TEST(SharePermissionCodesTest, OtherCodesGrantRead) {
  for (int code : {0, 7, -1, 100}) {
    const SharePermission permission = PermissionForCode(code);
    EXPECT_EQ(permission.kind, AceKind::kAllowed);
    EXPECT_EQ(permission.mask, platform::kMaskRead);
  }
}

TEST(SharePermissionCodesTest, UnusualMaskIsZeroWhenAllowedAndStaysADenialWhenDenied) {
  EXPECT_EQ(CodeForEntry(AceKind::kAllowed, 0x116), 0);
  EXPECT_EQ(CodeForEntry(AceKind::kDenied, 0x1), 1);         // read data only
  EXPECT_EQ(CodeForEntry(AceKind::kDenied, 0x116), 3);       // write rights
  EXPECT_EQ(CodeForEntry(AceKind::kDenied, 0x40000), 5);     // change permissions
  EXPECT_EQ(CodeForEntry(AceKind::kDenied, 0x10000000), 5);  // generic all
  for (uint32_t mask : {0x1u, 0x116u, 0x40000u, 0x10000000u}) {
    EXPECT_EQ(PermissionForCode(CodeForEntry(AceKind::kDenied, mask)).kind, AceKind::kDenied);
  }
}

TEST(SharePermissionCodesTest, ProxyDecisionFollowsTheCode) {
  struct Row {
    int code;
    bool allow, full, change, read;
  };
  const Row rows[] = {{1, false, false, false, true}, {2, true, false, false, true},
                      {3, false, false, true, false}, {4, true, false, true, false},
                      {5, false, true, false, false}, {6, true, true, false, false},
                      {0, true, false, false, true},  {9, true, false, false, true}};
  for (const Row& row : rows) {
    const ShareProxyPermission proxy = ProxyPermissionForCode(row.code);
    EXPECT_EQ(proxy.allow, row.allow) << row.code;
    EXPECT_EQ(proxy.full_control, row.full) << row.code;
    EXPECT_EQ(proxy.change, row.change) << row.code;
    EXPECT_EQ(proxy.read, row.read) << row.code;
  }
}

}  // namespace
}  // namespace qdw::security
