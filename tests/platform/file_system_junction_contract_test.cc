// Junctions as Windows presents them: a folder entry with the reparse-point attribute, a way
// through to the target for opening, listing and access lists, and a link of its own that
// removing takes away without touching the target.
#include <algorithm>
#include <memory>

#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

class JunctionContractTest : public FileSystemContractTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(fs().MakeFolder(S("Target")), kSuccess);
    Write(S("Target\\inside.txt"), "inside");
    const std::string why = port_->MakeJunction(S("Link"), S("Target"));
    if (!why.empty()) GTEST_SKIP() << "no junction can be made here: " << why;
  }

  // As both listings give it: a walk's listing must tell a junction as the full one does.
  uint32_t ListedAttributes(const std::string& name) {
    uint32_t found[2] = {0, 0};
    for (bool full : {true, false}) {
      std::vector<DirEntry> entries;
      EXPECT_EQ(full ? fs().Find(S("*"), &entries) : fs().FindNamesAndAttributes(S("*"), &entries),
                kSuccess);
      auto entry = std::find_if(entries.begin(), entries.end(),
                                [&](const DirEntry& one) { return one.name == name; });
      if (entry == entries.end()) ADD_FAILURE() << name << " is not listed";
      if (entry != entries.end()) found[full ? 0 : 1] = entry->attributes;
    }
    EXPECT_EQ(found[0], found[1]) << name;
    return found[0];
  }
};

TEST_F(JunctionContractTest, IsAFolderWithTheReparseAttributeThatLeadsToItsTarget) {
  EXPECT_EQ(ListedAttributes("Link") & (kAttrDirectory | kAttrReparsePoint),
            kAttrDirectory | kAttrReparsePoint);
  EXPECT_EQ(ListedAttributes("Target") & kAttrReparsePoint, 0u);
  EXPECT_EQ(Attributes(S("link")) & (kAttrDirectory | kAttrReparsePoint),
            kAttrDirectory | kAttrReparsePoint);

  EXPECT_EQ(Read(S("Link\\inside.txt")), "inside");
  std::vector<std::string> names = Names(S("Link\\*"));
  EXPECT_NE(std::find(names.begin(), names.end(), "inside.txt"), names.end());
  Write(S("LINK\\written.txt"), "through");
  EXPECT_EQ(Read(S("Target\\written.txt")), "through");
  EXPECT_EQ(fs().MakeFolder(S("Link")), kErrorAlreadyExists);
  EXPECT_EQ(fs().Delete(S("Link")), kErrorAccessDenied) << "a junction is a folder";
}

TEST_F(JunctionContractTest, RemovingItTakesTheLinkAndLeavesTheTarget) {
  ASSERT_EQ(fs().RemoveFolder(S("Link")), kSuccess) << "its target has content; it goes anyway";
  EXPECT_EQ(Attributes(S("Link")), kInvalidAttributes);
  EXPECT_EQ(Read(S("Target\\inside.txt")), "inside");
}

TEST_F(JunctionContractTest, AnAccessListWrittenOnItIsTheTargets) {
  QDW_SKIP_IF_LACKING(*port_, testing::Capability::kFileAcls);
  Acl dacl;
  dacl.entries.push_back({kAceAccessAllowed, kAceObjectInherit | kAceContainerInherit,
                          kMaskFullControl, Sid::World()});
  ASSERT_EQ(fs().WriteDacl(S("Link"), dacl), kSuccess);
  bool present = false;
  Acl target;
  ASSERT_EQ(fs().ReadDacl(S("Target"), &present, &target), kSuccess);
  EXPECT_TRUE(present);
  EXPECT_EQ(target, dacl) << "SetFileSecurity follows the junction";
}

}  // namespace
}  // namespace qdw::platform
