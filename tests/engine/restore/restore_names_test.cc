// Names read from an archive set and its share file: volume counts, share lines, details and
// the refusal of names and paths that would reach outside their folders.
#include <gtest/gtest.h>

#include "engine/restore/share_details.h"
#include "engine/restore/share_info_reader.h"
#include "engine/restore/volume_set.h"

namespace qdw::restore {
namespace {

TEST(VolumeSetTest, CountIsReadLikeAtoiAndCappedAtTheFormatsLimit) {
  EXPECT_EQ(VolumeCountFromName("Set_bak3.qdw"), 3);
  EXPECT_EQ(VolumeCountFromName("Set_bak1.qdw"), 1);
  EXPECT_EQ(VolumeCountFromName("Set_bak.qdw"), 0);
  EXPECT_EQ(VolumeCountFromName("Set.qdw"), 0);
  EXPECT_EQ(VolumeCountFromName("Set_bak12x.qdw"), 12);
  EXPECT_EQ(VolumeCountFromName("Set_bak65535.qdw"), 65535);
  EXPECT_EQ(VolumeCountFromName("Set_bak65536.qdw"), -1);
  EXPECT_EQ(VolumeCountFromName("Set_bak99999999999999999999.qdw"), -1);
  EXPECT_EQ(ContinuationVolumeNames("Set_bak3.qdw", 3),
            (std::vector<std::string>{"Set_add2.qdw", "Set_add3.qdw"}));
  EXPECT_TRUE(ContinuationVolumeNames("Set_bak1.qdw", 1).empty());
}

TEST(ShareLineTest, FieldsAndDefaults) {
  std::string name, path, details;
  SplitShareLine("Docs,C:\\D,Docs,!vnqdw!a, b!vnqdw!,5,jo,6", &name, &path, &details);
  EXPECT_EQ(name, "Docs");
  EXPECT_EQ(path, "C:\\D");
  EXPECT_EQ(details, "Docs,!vnqdw!a, b!vnqdw!,5,jo,6");
  SplitShareLine("Docs,C:\\D", &name, &path, &details);
  EXPECT_EQ(details, "\\");
  SplitShareLine("C:\\D", &name, &path, &details);
  EXPECT_EQ(name, "");
  EXPECT_EQ(path, "C:\\D");
}

TEST(ShareDetailsTest, RemarkWithCommasUsersAndPairs) {
  ShareDetails d;
  ASSERT_TRUE(ParseShareDetails("Docs,!vnqdw!a, b!vnqdw!,5,jo,6,Everyone,2,lone", &d));
  EXPECT_EQ(d.name, "Docs");
  EXPECT_EQ(d.remark, "a, b");
  EXPECT_EQ(d.max_users, 5);
  ASSERT_EQ(d.permissions.size(), 2u);
  EXPECT_EQ(d.permissions[1], (std::pair<std::string, std::string>("Everyone", "2")));
  ASSERT_TRUE(ParseShareDetails("Docs,!vnqdw!!vnqdw!,-1", &d));
  EXPECT_EQ(d.max_users, -1);
  EXPECT_TRUE(d.permissions.empty());
}

TEST(ShareDetailsTest, MissingFencesAreRefused) {
  ShareDetails d;
  EXPECT_FALSE(ParseShareDetails("Docs,remark,5,jo,6", &d));
  EXPECT_FALSE(ParseShareDetails("Docs,!vnqdw!remark without end", &d));
  EXPECT_FALSE(ParseShareDetails("nocomma", &d));
}

TEST(ShareEntryTest, OnlyFullFolderPathsAndPlainNames) {
  EXPECT_TRUE(IsSafeSharePath("C:\\Users\\jo\\Box"));
  EXPECT_TRUE(IsSafeSharePath("\\\\server\\share\\x"));
  EXPECT_FALSE(IsSafeSharePath("C:\\Users\\..\\Windows"));
  EXPECT_FALSE(IsSafeSharePath("C:\\Users\\jo/../x"));
  EXPECT_FALSE(IsSafeSharePath("\\Users\\jo"));
  EXPECT_FALSE(IsSafeSharePath("Users\\jo"));
  EXPECT_FALSE(IsSafeSharePath("C:relative"));
  EXPECT_FALSE(IsSafeSharePath("\\\\?\\C:\\x"));
  EXPECT_FALSE(IsSafeSharePath("\\\\.\\PhysicalDrive0"));
  EXPECT_FALSE(IsSafeSharePath("C:\\x\\file.txt:stream"));
  EXPECT_TRUE(IsSafeShareName("Docs$"));
  EXPECT_FALSE(IsSafeShareName(""));
  EXPECT_FALSE(IsSafeShareName(".."));
  EXPECT_FALSE(IsSafeShareName("a\\b"));
  EXPECT_FALSE(IsSafeShareName("a/b"));
}

TEST(ShareEntryTest, NamesWindowsCannotKeepAreRefused) {
  for (const char* name : {"CON", "nul.txt", "Com3", "LPT1.box", "Box.", "Box "}) {
    EXPECT_FALSE(IsSafeShareName(name)) << name;
    EXPECT_FALSE(IsSafeSharePath(std::string("C:\\Users\\") + name + "\\x")) << name;
  }
  EXPECT_TRUE(IsSafeSharePath("C:\\"));
  EXPECT_TRUE(IsSafeSharePath("C:\\Box\\"));
}

}  // namespace
}  // namespace qdw::restore
