// The finer rules of Windows files, each in a case of its own because not every machine keeps
// them: read-only files and folders, attributes exactly as set, hidden files, creation times,
// handle rights, the codes of odd paths, renames that change only case, and open files that
// keep their folder in place.
#include <memory>

#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

using testing::Capability;

TEST_F(FileSystemContractTest, ReadOnlyFilesAndFoldersRefuseWritersAndRemoval) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kReadOnlyEnforced);
  Write(S("ro.txt"), "keep");
  Write(S("other.txt"), "other");
  ASSERT_EQ(fs().WriteAttributes(S("ro.txt"), kAttrReadOnly), kSuccess);
  std::unique_ptr<File> file;
  EXPECT_EQ(fs().Open(S("ro.txt"), kGenericWrite, 0, Disposition::kOpenExisting, 0, &file),
            kErrorAccessDenied);
  EXPECT_EQ(fs().Open(S("ro.txt"), kGenericRead, 0, Disposition::kCreateAlways, 0, &file),
            kErrorAccessDenied);
  EXPECT_EQ(fs().Copy(S("other.txt"), S("ro.txt"), false), kErrorAccessDenied);
  EXPECT_EQ(Read(S("ro.txt")), "keep");

  ASSERT_EQ(fs().MakeFolder(S("A")), kSuccess);
  ASSERT_EQ(fs().WriteAttributes(S("A"), kAttrReadOnly), kSuccess);
  EXPECT_EQ(fs().RemoveFolder(S("A")), kErrorAccessDenied);
  ASSERT_EQ(fs().WriteAttributes(S("A"), kAttrNormal), kSuccess);
  EXPECT_EQ(fs().RemoveFolder(S("A")), kSuccess);
}

TEST_F(FileSystemContractTest, FilesCarryExactlyTheAttributesSet) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kArchiveAttributeAsSet);
  Write(S("a.txt"), "a");
  ASSERT_EQ(fs().WriteAttributes(S("a.txt"), kAttrNormal), kSuccess);
  EXPECT_EQ(Attributes(S("a.txt")), kAttrNormal);
  ASSERT_EQ(fs().WriteAttributes(S("a.txt"), kAttrReadOnly | kAttrHidden), kSuccess);
  ASSERT_EQ(fs().Copy(S("a.txt"), S("b.txt"), true), kSuccess);
  EXPECT_EQ(Attributes(S("b.txt")), kAttrReadOnly | kAttrHidden);
  ASSERT_EQ(fs().MakeFolder(S("Sub")), kSuccess);
  ASSERT_EQ(fs().Move(S("a.txt"), S("Sub\\a.txt")), kSuccess);
  EXPECT_EQ(Attributes(S("Sub\\a.txt")), kAttrReadOnly | kAttrHidden);
}

TEST_F(FileSystemContractTest, AHiddenFileIsReplacedOnlyByACallerAskingForAHiddenFile) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kHiddenFileReplaceCheck);
  Write(S("hidden.txt"), "h");
  ASSERT_EQ(fs().WriteAttributes(S("hidden.txt"), kAttrHidden), kSuccess);
  std::unique_ptr<File> file;
  EXPECT_EQ(
      fs().Open(S("hidden.txt"), kGenericWrite, 0, Disposition::kCreateAlways, kAttrNormal, &file),
      kErrorAccessDenied);
  EXPECT_EQ(Read(S("hidden.txt")), "h");
}

TEST_F(FileSystemContractTest, CreationTimesAreKeptAndSettable) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kCreationTimes);
  Write(S("t.txt"), "x");
  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open(S("t.txt"), kGenericWrite, 0, Disposition::kOpenExisting, 0, &file),
            kSuccess);
  const FileTime creation_time{April2003().ticks - 1000 * kTicksPerSecond};
  ASSERT_EQ(file->SetTimes(&creation_time, nullptr, nullptr), kSuccess);
  FileTimes times;
  ASSERT_EQ(file->Times(&times), kSuccess);
  EXPECT_EQ(times.creation, creation_time);
  file.reset();
  std::vector<DirEntry> entries;
  ASSERT_EQ(fs().Find(S("t.txt"), &entries), kSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].times.creation, creation_time);
}

TEST_F(FileSystemContractTest, AHandleOpenedForReadingCannotSetTimes) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kHandleRightsForTimes);
  Write(S("t.txt"), "x");
  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open(S("t.txt"), kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &file),
            kSuccess);
  const FileTime when = April2003();
  EXPECT_EQ(file->SetTimes(nullptr, nullptr, &when), kErrorAccessDenied);
}

TEST_F(FileSystemContractTest, PathsThroughFilesMissingDrivesAndRootsGiveTheWindowsCodes) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kWindowsPathErrors);
  ASSERT_EQ(fs().MakeFolder(S("Tree")), kSuccess);
  ASSERT_EQ(fs().MakeFolder(S("Tree\\Sub")), kSuccess);
  Write(S("Tree\\b.txt"), "b");
  std::unique_ptr<File> file;
  EXPECT_EQ(
      fs().Open(MissingDrive() + "a.txt", kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
      kErrorPathNotFound);
  std::vector<DirEntry> entries;
  EXPECT_EQ(fs().Find(S("Tree\\b.txt\\*"), &entries), kErrorPathNotFound);
  EXPECT_EQ(fs().Move(S("Tree"), S("Tree\\Sub\\Inner")), kErrorSharingViolation);
  EXPECT_EQ(fs().DriveKind(port_->scratch()), kDriveNoRootDir);
  EXPECT_EQ(fs().RemoveFolder(port_->ScratchRoot()), kErrorAccessDenied);
}

TEST_F(FileSystemContractTest, ARenameThatOnlyChangesCaseTakesTheNewSpelling) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kCaseOnlyRename);
  Write(S("a.txt"), "a");
  ASSERT_EQ(fs().Move(S("a.txt"), S("A.TXT")), kSuccess);
  EXPECT_EQ(Names(S("a.txt")), std::vector<std::string>{"A.TXT"});
}

TEST_F(FileSystemContractTest, AFolderWithAFileOpenInsideIsNotMoved) {
  QDW_SKIP_IF_LACKING(*port_, Capability::kOpenFilesPinTheirFolder);
  ASSERT_EQ(fs().MakeFolder(S("Busy")), kSuccess);
  Write(S("Busy\\f.txt"), "f");
  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open(S("Busy\\f.txt"), kGenericRead, kShareRead | kShareWrite | kShareDelete,
                      Disposition::kOpenExisting, 0, &file),
            kSuccess);
  EXPECT_EQ(fs().Move(S("Busy"), S("Idle")), kErrorAccessDenied);
  file.reset();
  EXPECT_EQ(fs().Move(S("Busy"), S("Idle")), kSuccess);

  // The same when another program holds the file.
  ASSERT_EQ(fs().MakeFolder(S("Held")), kSuccess);
  Write(S("Held\\held.pdf"), "h");
  port_->HoldOpen(S("Held\\held.pdf"), kShareRead | kShareWrite | kShareDelete);
  EXPECT_EQ(fs().Move(S("Held"), S("Held2")), kErrorAccessDenied);
}

}  // namespace
}  // namespace qdw::platform
