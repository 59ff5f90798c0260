// A list read through the port and written back is the same list, byte for byte: object and
// callback entries, an inherit-only deny and an allow entry with bytes after its SID included.
// Runs in memory, so it holds under Wine, which keeps no file lists.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/win32_convert.h"
#include "tests/platform/ace_samples.h"

namespace qdw::win32 {
namespace {

std::vector<uint8_t> EntryBytes(ACL* acl, DWORD index) {
  void* entry = nullptr;
  EXPECT_TRUE(GetAce(acl, index, &entry));
  const auto* bytes = static_cast<const uint8_t*>(entry);
  return std::vector<uint8_t>(bytes, bytes + static_cast<const ACE_HEADER*>(entry)->AceSize);
}

TEST(AclConversionTest, EveryEntryComesBackAsItWas) {
  const platform::Sid world = platform::Sid::World();
  const uint8_t inherit = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  std::vector<uint8_t> padded_allow =
      testing::AceBytes(ACCESS_ALLOWED_ACE_TYPE, 0, 0x1200A9, world.bytes);
  padded_allow.insert(padded_allow.end(), {0, 0, 0, 0});
  padded_allow[2] = static_cast<uint8_t>(padded_allow.size());
  const std::vector<std::vector<uint8_t>> entries = {
      testing::ObjectAce(inherit, 0x1200A9, world).raw,
      testing::AceBytes(ACCESS_DENIED_ACE_TYPE, inherit | INHERIT_ONLY_ACE, 0x1301BF, world.bytes),
      testing::AceBytes(ACCESS_ALLOWED_ACE_TYPE, inherit, 0x1F01FF, world.bytes),
      testing::CallbackAce(0, 0x1200A9, world).raw,
      padded_allow,
  };
  DWORD size = sizeof(ACL);
  for (const std::vector<uint8_t>& entry : entries) size += static_cast<DWORD>(entry.size());
  std::vector<uint8_t> original(size);
  ACL* acl = reinterpret_cast<ACL*>(original.data());
  ASSERT_TRUE(InitializeAcl(acl, size, ACL_REVISION_DS));
  for (const std::vector<uint8_t>& entry : entries) {
    ASSERT_TRUE(AddAce(acl, ACL_REVISION_DS, MAXDWORD, const_cast<uint8_t*>(entry.data()),
                       static_cast<DWORD>(entry.size())))
        << GetLastError();
  }

  platform::Acl read = AclFromWin32(acl);
  ASSERT_EQ(read.entries.size(), entries.size());
  // The plain entries are taken apart; the deny keeps its inherit-only flag.
  EXPECT_TRUE(read.entries[1].raw.empty());
  EXPECT_EQ(read.entries[1].flags, inherit | INHERIT_ONLY_ACE);
  EXPECT_EQ(read.entries[2].mask, 0x1F01FFu);
  EXPECT_EQ(read.entries[4].mask, 0x1200A9u);  // taken apart and carried as its bytes

  std::vector<uint8_t> rebuilt;
  ASSERT_TRUE(BuildWin32Acl(read, &rebuilt));
  ACL* written = reinterpret_cast<ACL*>(rebuilt.data());
  EXPECT_EQ(written->AclRevision, ACL_REVISION_DS);  // object entries need it
  ASSERT_EQ(written->AceCount, entries.size());
  for (DWORD i = 0; i < entries.size(); ++i) EXPECT_EQ(EntryBytes(written, i), entries[i]) << i;

  // Without object entries the list keeps the ordinary revision.
  platform::Acl plain;
  plain.entries = {read.entries[1], read.entries[3]};
  ASSERT_TRUE(BuildWin32Acl(plain, &rebuilt));
  EXPECT_EQ(reinterpret_cast<ACL*>(rebuilt.data())->AclRevision, ACL_REVISION);

  // Carried bytes that are not one whole entry are refused.
  platform::Acl broken;
  broken.entries.push_back(platform::Ace::Opaque({ACCESS_ALLOWED_OBJECT_ACE_TYPE, 0, 40, 0}));
  EXPECT_FALSE(BuildWin32Acl(broken, &rebuilt));
}

}  // namespace
}  // namespace qdw::win32
