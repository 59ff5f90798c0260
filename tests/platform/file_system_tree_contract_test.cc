// Listings, copies and moves, drives, access lists and temporary names.
#include <memory>

#include "platform/windows_path.h"
#include "tests/platform/ace_samples.h"
#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

using Strings = std::vector<std::string>;
using testing::Capability;

const DirEntry* Entry(const std::vector<DirEntry>& entries, const std::string& name) {
  for (const DirEntry& entry : entries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

TEST_F(FileSystemContractTest, ListsInNtfsOrderWithDotsFirstExceptAtTheRoot) {
  ASSERT_EQ(fs().MakeFolder(S("Box")), kSuccess);
  for (const char* name : {"b.txt", "A.pdf", "_z.txt", "C.TXT", "a_1.txt"}) {
    Write(S("Box\\") + name, name);
  }
  ASSERT_EQ(fs().MakeFolder(S("Box\\Sub")), kSuccess);
  Strings names = Names(S("Box\\*.*"));
  ASSERT_EQ(names.size(), 8u);
  EXPECT_EQ(Strings(names.begin(), names.begin() + 2), (Strings{".", ".."}));
  Strings txt = Names(S("box\\*.txt"));
  Strings one_letter = Names(S("Box\\?.TXT"));
  Strings root = Names(port_->ScratchRoot() + "*");
  ASSERT_FALSE(root.empty());
  EXPECT_NE(root.front(), ".");

  std::vector<DirEntry> entries;
  ASSERT_EQ(fs().Find(S("Box\\*"), &entries), kSuccess);
  EXPECT_EQ(entries[0].attributes & kAttrDirectory, kAttrDirectory);
  ASSERT_NE(Entry(entries, "Sub"), nullptr);
  EXPECT_EQ(Entry(entries, "Sub")->attributes, kAttrDirectory);
  ASSERT_NE(Entry(entries, "A.pdf"), nullptr);
  EXPECT_EQ(Entry(entries, "A.pdf")->size, 5u);
  EXPECT_EQ(Entry(entries, "A.pdf")->attributes, kAttrArchive);
  EXPECT_EQ(fs().Find(S("Box\\*.doc"), &entries), kErrorFileNotFound);
  EXPECT_EQ(fs().Find(S("Nowhere\\*.*"), &entries), kErrorPathNotFound);

  EXPECT_EQ(fs().Find(MissingDrive() + "*", &entries), kErrorPathNotFound);

  // Upper-case order puts "_" (0x5F) after the letters.
  EXPECT_EQ(names, (Strings{".", "..", "A.pdf", "a_1.txt", "b.txt", "C.TXT", "Sub", "_z.txt"}));
  EXPECT_EQ(txt, (Strings{"a_1.txt", "b.txt", "C.TXT", "_z.txt"}));
  EXPECT_EQ(one_letter, (Strings{"b.txt", "C.TXT"}));
}

// A walk's listing names the same entries, in the same order, with the same attributes and
// the same errors as the full listing: attributes kept apart from the file (read-only, hidden,
// system) included.
TEST_F(FileSystemContractTest, ListingOfNamesAndAttributesAgreesWithTheFullListing) {
  ASSERT_EQ(fs().MakeFolder(S("Box")), kSuccess);
  for (const char* name : {"b.txt", "A.pdf", "kept.doc"}) Write(S("Box\\") + name, name);
  ASSERT_EQ(fs().MakeFolder(S("Box\\Sub")), kSuccess);
  ASSERT_EQ(fs().WriteAttributes(S("Box\\kept.doc"), kAttrReadOnly | kAttrHidden), kSuccess);
  ASSERT_EQ(fs().WriteAttributes(S("Box\\Sub"), kAttrSystem), kSuccess);
  for (const std::string& pattern : {S("Box\\*.*"), S("box\\*.txt"), S("Box\\KEPT.doc"),
                                     S("Box\\*.xls"), S("Nowhere\\*"), S("*")}) {
    std::vector<DirEntry> full, walk;
    EXPECT_EQ(fs().FindNamesAndAttributes(pattern, &walk), fs().Find(pattern, &full)) << pattern;
    ASSERT_EQ(walk.size(), full.size()) << pattern;
    for (size_t i = 0; i < full.size(); ++i) {
      EXPECT_EQ(walk[i].name, full[i].name) << pattern;
      EXPECT_EQ(walk[i].attributes, full[i].attributes) << pattern << " " << full[i].name;
    }
  }
  ASSERT_EQ(fs().WriteAttributes(S("Box\\kept.doc"), kAttrNormal), kSuccess);
}

TEST_F(FileSystemContractTest, CopyKeepsContentAttributesAndLastWriteTime) {
  Write(S("src.txt"), "payload");
  ASSERT_EQ(fs().WriteAttributes(S("src.txt"), kAttrReadOnly | kAttrHidden), kSuccess);
  ASSERT_EQ(fs().MakeFolder(S("Out")), kSuccess);
  ASSERT_EQ(fs().Copy(S("SRC.txt"), S("Out\\dst.txt"), true), kSuccess);
  EXPECT_EQ(Read(S("Out\\dst.txt")), "payload");
  EXPECT_EQ(Attributes(S("Out\\dst.txt")) & ~kAttrArchive, kAttrReadOnly | kAttrHidden);
  std::vector<DirEntry> source;
  std::vector<DirEntry> target;
  ASSERT_EQ(fs().Find(S("src.txt"), &source), kSuccess);
  ASSERT_EQ(fs().Find(S("Out\\dst.txt"), &target), kSuccess);
  EXPECT_EQ(source[0].times.last_write, target[0].times.last_write);

  Write(S("second.txt"), "second");
  EXPECT_EQ(fs().Copy(S("second.txt"), S("Out\\dst.txt"), true), kErrorFileExists);

  EXPECT_EQ(fs().Copy(S("none.txt"), S("Out\\x.txt"), false), kErrorFileNotFound);
  EXPECT_EQ(fs().Copy(S("second.txt"), S("NoFolder\\x.txt"), false), kErrorPathNotFound);
  EXPECT_EQ(fs().Copy(S("second.txt"), S("SECOND.TXT"), false), kErrorSharingViolation);
  Write(S("third.txt"), "3");
  EXPECT_EQ(fs().Copy(S("second.txt"), S("third.txt"), false), kSuccess);
  EXPECT_EQ(Read(S("third.txt")), "second");
}

TEST_F(FileSystemContractTest, MovesFilesAndFoldersWithTheirMetadata) {
  ASSERT_EQ(fs().MakeFolder(S("Tree")), kSuccess);
  ASSERT_EQ(fs().MakeFolder(S("Tree\\Sub")), kSuccess);
  Write(S("Tree\\Sub\\ro.txt"), "ro");
  ASSERT_EQ(fs().WriteAttributes(S("Tree\\Sub\\ro.txt"), kAttrReadOnly), kSuccess);

  ASSERT_EQ(fs().Move(S("tree"), S("Moved")), kSuccess);
  EXPECT_EQ(Read(S("Moved\\Sub\\ro.txt")), "ro");
  EXPECT_EQ(Attributes(S("Moved\\Sub\\ro.txt")) & ~kAttrArchive,
            kAttrReadOnly);  // metadata came along
  EXPECT_EQ(Attributes(S("Tree")), kInvalidAttributes);

  ASSERT_EQ(fs().Move(S("Moved\\Sub\\ro.txt"), S("ro.txt")), kSuccess);
  EXPECT_EQ(Read(S("ro.txt")), "ro");
  EXPECT_EQ(Attributes(S("ro.txt")) & ~kAttrArchive, kAttrReadOnly);
  EXPECT_EQ(Attributes(S("Moved\\Sub\\ro.txt")), kInvalidAttributes);

  Write(S("a.txt"), "a");
  Write(S("b.txt"), "b");
  EXPECT_EQ(fs().Move(S("a.txt"), S("B.TXT")), kErrorAlreadyExists);
  EXPECT_EQ(fs().Move(S("none.txt"), S("c.txt")), kErrorFileNotFound);
  EXPECT_EQ(fs().Move(S("a.txt"), S("NoFolder\\a.txt")), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, DrivesReportKindFileSystemAndFreeSpace) {
  const std::string root = port_->ScratchRoot();
  EXPECT_EQ(fs().DriveKind(root), kDriveFixed);
  EXPECT_EQ(fs().DriveKind(root.substr(0, 2)), kDriveFixed);
  EXPECT_EQ(fs().DriveKind(MissingDrive()), kDriveNoRootDir);

  std::string name;
  EXPECT_EQ(fs().VolumeFileSystem(root, &name), kSuccess);
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(fs().VolumeFileSystem(MissingDrive(), &name), kErrorPathNotFound);
  uint64_t free_bytes = 0;
  EXPECT_EQ(fs().FreeSpace(root, &free_bytes), kSuccess);
  EXPECT_GT(free_bytes, 0u);
  EXPECT_EQ(fs().FreeSpace(MissingDrive(), &free_bytes), kErrorPathNotFound);
}

// Every entry comes back as written and in order, object and callback entries byte for byte.
TEST_F(FileSystemContractTest, AccessListsAreKeptAndMoveWithTheFolder) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kFileAcls);
  ASSERT_EQ(fs().MakeFolder(S("Share")), kSuccess);
  Sid user;
  ASSERT_EQ(port_->platform().accounts().ProcessUser(&user), kSuccess);
  const uint8_t inherit = kAceObjectInherit | kAceContainerInherit;
  Acl written;
  written.entries.push_back({kAceAccessDenied, 0, kMaskChange, Sid::World()});
  written.entries.push_back(testing::ObjectAce(inherit, kMaskRead, Sid::World()));
  written.entries.push_back({kAceAccessDenied, inherit | kAceInheritOnly, kMaskChange, user});
  written.entries.push_back({kAceAccessAllowed, inherit, kMaskFullControl, user});
  written.entries.push_back(testing::CallbackAce(0, kMaskRead, user));
  ASSERT_EQ(fs().WriteDacl(S("share"), written), kSuccess);
  bool present = false;
  Acl acl;
  ASSERT_EQ(fs().ReadDacl(S("Share"), &present, &acl), kSuccess);
  EXPECT_TRUE(present);
  EXPECT_EQ(acl, written);

  ASSERT_EQ(fs().Move(S("Share"), S("Moved")), kSuccess);
  ASSERT_EQ(fs().ReadDacl(S("Moved"), &present, &acl), kSuccess);
  EXPECT_EQ(acl, written);
  EXPECT_EQ(fs().ReadDacl(S("none"), &present, &acl), kErrorFileNotFound);
}

TEST_F(FileSystemContractTest, TempFileNamesAreFreshNamesInTheTempFolder) {
  std::string temp;
  ASSERT_TRUE(port_->platform().system().Environment("TMP", &temp));
  std::string first;
  std::string second;
  ASSERT_EQ(fs().TempFileName("qdw", &first), kSuccess);
  ASSERT_EQ(fs().TempFileName("qdw", &second), kSuccess);
  EXPECT_NE(first, second);
  EXPECT_TRUE(StartsWithIgnoreCase(first, temp + "\\qdw")) << first;
  EXPECT_EQ(Attributes(first), kInvalidAttributes);
}

}  // namespace
}  // namespace qdw::platform
