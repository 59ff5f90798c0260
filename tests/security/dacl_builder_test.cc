#include "security/dacl_builder.h"

#include <gtest/gtest.h>

#include "security/dacl_security_descriptor.h"
#include "security/security_error.h"
#include "security/share_permission_codes.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::security {
namespace {

using platform::Ace;
using platform::Sid;

Sid SidOf(const std::string& text) {
  Sid sid;
  EXPECT_TRUE(Sid::Parse(text, &sid)) << text;
  return sid;
}

class DaclBuilderTest : public ::testing::Test {
 protected:
  AccountId Account(const std::string& sid) {
    return AccountId(machine_.platform().accounts(), SidOf(sid));
  }
  // Adds the entry a share permission code stands for.
  void AddCode(DaclBuilder* dacl, const AccountId& account, int code) {
    const SharePermission permission = PermissionForCode(code);
    if (permission.kind == AceKind::kDenied) {
      EXPECT_TRUE(dacl->AddDenied(account, permission.mask));
    } else {
      EXPECT_TRUE(dacl->AddAllowed(account, permission.mask));
    }
  }

  testing::SimTestMachine machine_;
  AccountId ann_ = Account("S-1-5-21-1-2-3-1001");
  AccountId bob_ = Account("S-1-5-21-1-2-3-1002");
};

TEST_F(DaclBuilderTest, DeniedEntriesComeFirstWhateverTheOrderOfTheRecords) {
  for (bool ann_first : {true, false}) {
    DaclBuilder dacl;
    if (ann_first) AddCode(&dacl, ann_, 2);
    AddCode(&dacl, bob_, 5);
    if (!ann_first) AddCode(&dacl, ann_, 2);
    const platform::Acl& acl = dacl.Win32Dacl();
    ASSERT_EQ(acl.entries.size(), 2u);
    EXPECT_EQ(acl.entries[0].type, platform::kAceAccessDenied);
    EXPECT_EQ(acl.entries[0].mask, platform::kMaskFullControl);
    EXPECT_EQ(acl.entries[0].sid, bob_.sid());
    EXPECT_EQ(acl.entries[1].type, platform::kAceAccessAllowed);
    EXPECT_EQ(acl.entries[1].mask, platform::kMaskRead);
    EXPECT_EQ(acl.entries[1].sid, ann_.sid());
  }
}

TEST_F(DaclBuilderTest, ExplicitBeforeInheritedAndEqualEntriesKeepTheirOrder) {
  DaclBuilder dacl;
  dacl.AddAllowed(ann_, 1, platform::kAceInherited);
  dacl.AddDenied(ann_, 2, platform::kAceInherited);
  dacl.AddAllowed(ann_, 3);
  dacl.AddAllowed(bob_, 4);
  dacl.AddDenied(bob_, 5);
  dacl.AddDenied(ann_, 6);
  std::vector<uint32_t> masks;
  for (const Ace& ace : dacl.Win32Dacl().entries) masks.push_back(ace.mask);
  EXPECT_EQ(masks, (std::vector<uint32_t>{5, 6, 3, 4, 2, 1}));
  // The entry list itself keeps the order of adding.
  EXPECT_EQ(dacl.entries().front().mask, 1u);
}

TEST_F(DaclBuilderTest, AnAccountThatDoesNotResolveAddsNothing) {
  DaclBuilder dacl;
  AccountId unknown = AccountId::FromName(machine_.platform().accounts(), "nobody-here");
  EXPECT_FALSE(unknown.IsValid());
  EXPECT_FALSE(dacl.AddAllowed(unknown, platform::kMaskRead));
  EXPECT_FALSE(dacl.AddDenied(AccountId(), platform::kMaskRead));
  EXPECT_TRUE(dacl.AddAllowed(ann_, platform::kMaskChange));
  ASSERT_EQ(dacl.Win32Dacl().entries.size(), 1u);
  EXPECT_EQ(dacl.Win32Size(), 8u + 8u + ann_.sid().bytes.size());
}

TEST_F(DaclBuilderTest, TooLargeAListIsAnError) {
  DaclBuilder dacl;
  for (int i = 0; i < 2100; ++i) dacl.AddAllowed(ann_, platform::kMaskRead);
  EXPECT_THROW(dacl.Win32Dacl(), SecurityError);
}

TEST_F(DaclBuilderTest, ExistingListKeepsAllowedAndDeniedEntriesOnly) {
  platform::Acl acl;
  acl.entries.push_back(Ace{platform::kAceAccessAllowed, 0, platform::kMaskRead, ann_.sid()});
  acl.entries.push_back(Ace{2 /* audit */, 0, platform::kMaskRead, ann_.sid()});
  acl.entries.push_back(
      Ace{platform::kAceAccessDenied, platform::kAceInherited, 0x116, bob_.sid()});
  DaclBuilder dacl = DaclBuilder::FromAcl(machine_.platform().accounts(), acl);
  ASSERT_EQ(dacl.entries().size(), 2u);
  EXPECT_EQ(dacl.entries()[0].kind, AceKind::kAllowed);
  EXPECT_EQ(dacl.entries()[1].kind, AceKind::kDenied);
  EXPECT_EQ(dacl.entries()[1].mask, 0x116u);
  EXPECT_EQ(dacl.entries()[1].flags, platform::kAceInherited);
  EXPECT_EQ(dacl.entries()[1].account.sid(), bob_.sid());
}

TEST_F(DaclBuilderTest, DescriptorHoldsTheCanonicalDacl) {
  DaclSecurityDescriptor descriptor;
  EXPECT_FALSE(descriptor.descriptor().dacl_present);
  DaclBuilder dacl;
  dacl.AddAllowed(ann_, platform::kMaskRead);
  dacl.AddDenied(bob_, platform::kMaskRead);
  descriptor.SetDacl(dacl);
  EXPECT_TRUE(descriptor.descriptor().dacl_present);
  EXPECT_EQ(descriptor.descriptor().dacl, dacl.Win32Dacl());
}

}  // namespace
}  // namespace qdw::security
