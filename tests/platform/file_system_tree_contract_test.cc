// Listings, copies and moves, drives, access lists, temporary names and injected faults.
#include <algorithm>
#include <memory>

#include "platform/windows_path.h"
#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

using Strings = std::vector<std::string>;

TEST_F(FileSystemContractTest, ListsInNtfsOrderWithDotsFirstExceptAtTheRoot) {
  ASSERT_EQ(fs().MakeFolder("C:\\Box"), kSuccess);
  for (const char* name : {"b.txt", "A.pdf", "_z.txt", "C.TXT", "a_1.txt"}) {
    Write(std::string("C:\\Box\\") + name, name);
  }
  ASSERT_EQ(fs().MakeFolder("C:\\Box\\Sub"), kSuccess);
  // Upper-case order puts "_" (0x5F) after the letters.
  EXPECT_EQ(Names("C:\\Box\\*.*"),
            (Strings{".", "..", "A.pdf", "a_1.txt", "b.txt", "C.TXT", "Sub", "_z.txt"}));
  EXPECT_EQ(Names("C:\\box\\*.txt"), (Strings{"a_1.txt", "b.txt", "C.TXT", "_z.txt"}));
  EXPECT_EQ(Names("C:\\Box\\?.TXT"), (Strings{"b.txt", "C.TXT"}));
  Strings root = Names("C:\\*");
  ASSERT_FALSE(root.empty());
  EXPECT_NE(root.front(), ".");

  std::vector<DirEntry> entries;
  ASSERT_EQ(fs().Find("C:\\Box\\*", &entries), kSuccess);
  EXPECT_EQ(entries[0].attributes & kAttrDirectory, kAttrDirectory);
  EXPECT_EQ(entries[6].name, "Sub");
  EXPECT_EQ(entries[6].attributes, kAttrDirectory);
  EXPECT_EQ(entries[2].name, "A.pdf");
  EXPECT_EQ(entries[2].size, 5u);
  EXPECT_EQ(entries[2].attributes, kAttrArchive);
  EXPECT_EQ(fs().Find("C:\\Box\\*.doc", &entries), kErrorFileNotFound);
  EXPECT_EQ(fs().Find("C:\\Nowhere\\*.*", &entries), kErrorPathNotFound);
  EXPECT_EQ(fs().Find("C:\\Box\\b.txt\\*", &entries), kErrorPathNotFound);
  EXPECT_EQ(fs().Find("Q:\\*", &entries), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, FatDrivesListEveryEntryToo) {
  ASSERT_EQ(fs().MakeFolder("D:\\Data"), kSuccess);
  for (const char* name : {"z.txt", "a.txt", "m.txt"}) Write(std::string("D:\\Data\\") + name, "");
  Strings names = Names("D:\\Data\\*.*");
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], ".");
  EXPECT_EQ(names[1], "..");
  std::sort(names.begin() + 2, names.end());
  EXPECT_EQ(names, (Strings{".", "..", "a.txt", "m.txt", "z.txt"}));
}

TEST_F(FileSystemContractTest, CopyKeepsContentAttributesAndLastWriteTime) {
  Write("C:\\src.txt", "payload");
  ASSERT_EQ(fs().WriteAttributes("C:\\src.txt", kAttrReadOnly | kAttrHidden), kSuccess);
  ASSERT_EQ(fs().MakeFolder("D:\\Out"), kSuccess);
  ASSERT_EQ(fs().Copy("C:\\SRC.txt", "D:\\Out\\dst.txt", true), kSuccess);
  EXPECT_EQ(Read("D:\\Out\\dst.txt"), "payload");
  EXPECT_EQ(Attributes("D:\\Out\\dst.txt"), kAttrReadOnly | kAttrHidden);
  std::vector<DirEntry> source;
  std::vector<DirEntry> target;
  ASSERT_EQ(fs().Find("C:\\src.txt", &source), kSuccess);
  ASSERT_EQ(fs().Find("D:\\Out\\dst.txt", &target), kSuccess);
  EXPECT_EQ(source[0].times.last_write, target[0].times.last_write);

  Write("C:\\second.txt", "second");
  EXPECT_EQ(fs().Copy("C:\\second.txt", "D:\\Out\\dst.txt", true), kErrorFileExists);
  EXPECT_EQ(fs().Copy("C:\\second.txt", "D:\\Out\\dst.txt", false), kErrorAccessDenied);
  EXPECT_EQ(fs().Copy("C:\\none.txt", "D:\\Out\\x.txt", false), kErrorFileNotFound);
  EXPECT_EQ(fs().Copy("C:\\second.txt", "D:\\NoFolder\\x.txt", false), kErrorPathNotFound);
  EXPECT_EQ(fs().Copy("C:\\second.txt", "C:\\SECOND.TXT", false), kErrorSharingViolation);
  Write("C:\\third.txt", "3");
  EXPECT_EQ(fs().Copy("C:\\second.txt", "C:\\third.txt", false), kSuccess);
  EXPECT_EQ(Read("C:\\third.txt"), "second");
}

TEST_F(FileSystemContractTest, MovesFilesAnywhereAndFoldersWithinADrive) {
  ASSERT_EQ(fs().MakeFolder("C:\\Tree"), kSuccess);
  ASSERT_EQ(fs().MakeFolder("C:\\Tree\\Sub"), kSuccess);
  Write("C:\\Tree\\Sub\\ro.txt", "ro");
  ASSERT_EQ(fs().WriteAttributes("C:\\Tree\\Sub\\ro.txt", kAttrReadOnly), kSuccess);

  EXPECT_EQ(fs().Move("C:\\Tree", "D:\\Tree"), kErrorNotSameDevice);
  EXPECT_EQ(fs().Move("C:\\Tree", "C:\\Tree\\Sub\\Inner"), kErrorSharingViolation);
  ASSERT_EQ(fs().Move("C:\\tree", "C:\\Moved"), kSuccess);
  EXPECT_EQ(Read("C:\\Moved\\Sub\\ro.txt"), "ro");
  EXPECT_EQ(Attributes("C:\\Moved\\Sub\\ro.txt"), kAttrReadOnly);  // metadata came along
  EXPECT_EQ(Attributes("C:\\Tree"), kInvalidAttributes);

  ASSERT_EQ(fs().Move("C:\\Moved\\Sub\\ro.txt", "D:\\ro.txt"), kSuccess);
  EXPECT_EQ(Read("D:\\ro.txt"), "ro");
  EXPECT_EQ(Attributes("D:\\ro.txt"), kAttrReadOnly);
  EXPECT_EQ(Attributes("C:\\Moved\\Sub\\ro.txt"), kInvalidAttributes);

  Write("C:\\a.txt", "a");
  Write("C:\\b.txt", "b");
  EXPECT_EQ(fs().Move("C:\\a.txt", "C:\\B.TXT"), kErrorAlreadyExists);
  EXPECT_EQ(fs().Move("C:\\none.txt", "C:\\c.txt"), kErrorFileNotFound);
  EXPECT_EQ(fs().Move("C:\\a.txt", "C:\\NoFolder\\a.txt"), kErrorPathNotFound);
  ASSERT_EQ(fs().Move("C:\\a.txt", "C:\\A.TXT"), kSuccess);  // a change of case only
  EXPECT_EQ(Names("C:\\a.txt"), Strings{"A.TXT"});
}

TEST_F(FileSystemContractTest, MovingAFolderWithAnOpenFileInsideIsRefused) {
  ASSERT_EQ(fs().MakeFolder("C:\\Busy"), kSuccess);
  Write("C:\\Busy\\f.txt", "f");
  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open("C:\\Busy\\f.txt", kGenericRead, kShareRead | kShareWrite | kShareDelete,
                      Disposition::kOpenExisting, 0, &file),
            kSuccess);
  EXPECT_EQ(fs().Move("C:\\Busy", "C:\\Idle"), kErrorAccessDenied);
  file.reset();
  EXPECT_EQ(fs().Move("C:\\Busy", "C:\\Idle"), kSuccess);
}

TEST_F(FileSystemContractTest, DrivesReportKindFileSystemAndFreeSpace) {
  EXPECT_EQ(fs().DriveKind("C:\\"), kDriveFixed);
  EXPECT_EQ(fs().DriveKind("d:"), kDriveFixed);
  EXPECT_EQ(fs().DriveKind("E:\\"), kDriveCdRom);
  EXPECT_EQ(fs().DriveKind("Q:\\"), kDriveNoRootDir);
  EXPECT_EQ(fs().DriveKind("C:\\Users"), kDriveNoRootDir);
  std::string name;
  EXPECT_EQ(fs().VolumeFileSystem("C:\\", &name), kSuccess);
  EXPECT_EQ(name, "NTFS");
  EXPECT_EQ(fs().VolumeFileSystem("D:\\", &name), kSuccess);
  EXPECT_EQ(name, "FAT32");
  EXPECT_EQ(fs().VolumeFileSystem("Q:\\", &name), kErrorPathNotFound);
  uint64_t free_bytes = 0;
  EXPECT_EQ(fs().FreeSpace("C:\\", &free_bytes), kSuccess);
  EXPECT_EQ(free_bytes, 50000000000ULL);
  machine_.machine().faults().SetDiskFull('C', 4096);
  EXPECT_EQ(fs().FreeSpace("C:\\", &free_bytes), kSuccess);
  EXPECT_EQ(free_bytes, 4096u);
  EXPECT_EQ(fs().FreeSpace("Q:\\", &free_bytes), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, AccessListsAreKeptAndInheritedOnNtfsOnly) {
  ASSERT_EQ(fs().MakeFolder("C:\\Share"), kSuccess);
  Write("C:\\Share\\f.txt", "f");
  ASSERT_EQ(fs().MakeFolder("C:\\Share\\Sub"), kSuccess);
  bool present = false;
  Acl acl;
  ASSERT_EQ(fs().ReadDacl("C:\\Share", &present, &acl), kSuccess);
  ASSERT_TRUE(present);
  ASSERT_EQ(acl.entries.size(), 1u);
  EXPECT_EQ(acl.entries[0].sid, Sid::World());
  EXPECT_EQ(acl.entries[0].mask, kMaskFullControl);
  EXPECT_TRUE(acl.entries[0].flags & kAceInherited);

  Sid jo;
  ASSERT_TRUE(Sid::Parse("S-1-5-21-1004336348-1177238915-682003330-1001", &jo));
  Acl written;
  written.entries.push_back({kAceAccessDenied, 0, kMaskChange, jo});
  written.entries.push_back(
      {kAceAccessAllowed, kAceObjectInherit | kAceContainerInherit, kMaskChange, Sid::World()});
  ASSERT_EQ(fs().WriteDacl("C:\\share", written), kSuccess);
  ASSERT_EQ(fs().ReadDacl("C:\\Share", &present, &acl), kSuccess);
  EXPECT_EQ(acl, written);
  ASSERT_EQ(fs().ReadDacl("C:\\Share\\f.txt", &present, &acl), kSuccess);
  ASSERT_EQ(acl.entries.size(), 1u);  // the deny entry does not inherit
  EXPECT_EQ(acl.entries[0].flags, kAceInherited);
  EXPECT_EQ(acl.entries[0].mask, kMaskChange);
  ASSERT_EQ(fs().ReadDacl("C:\\Share\\Sub", &present, &acl), kSuccess);
  EXPECT_EQ(acl.entries[0].flags, kAceInherited | kAceObjectInherit | kAceContainerInherit);

  ASSERT_EQ(fs().Move("C:\\Share", "C:\\Moved"), kSuccess);
  ASSERT_EQ(fs().ReadDacl("C:\\Moved", &present, &acl), kSuccess);
  EXPECT_EQ(acl, written);

  Write("D:\\fat.txt", "x");
  ASSERT_EQ(fs().ReadDacl("D:\\fat.txt", &present, &acl), kSuccess);
  EXPECT_FALSE(present);
  EXPECT_EQ(fs().WriteDacl("D:\\fat.txt", written), kErrorNotSupported);
  EXPECT_EQ(fs().ReadDacl("C:\\none", &present, &acl), kErrorFileNotFound);
}

TEST_F(FileSystemContractTest, TempFileNamesAreFreshNamesInTheTempFolder) {
  std::string first;
  std::string second;
  ASSERT_EQ(fs().TempFileName("qdw", &first), kSuccess);
  ASSERT_EQ(fs().TempFileName("qdw", &second), kSuccess);
  EXPECT_NE(first, second);
  EXPECT_TRUE(StartsWithIgnoreCase(first, "C:\\Users\\jo\\AppData\\Local\\Temp\\qdw")) << first;
  EXPECT_EQ(Attributes(first), kInvalidAttributes);
}

TEST_F(FileSystemContractTest, InjectedFaultsHitTheNamedCallsOnly) {
  ASSERT_EQ(fs().MakeFolder("C:\\QDW"), kSuccess);
  Write("C:\\QDW\\a.pdf", "a");
  Write("C:\\QDW\\b.txt", "b");
  machine_.machine().faults().AddRule("FileSystem.Copy", 2, kErrorAccessDenied, "*\\qdw\\*.pdf");
  EXPECT_EQ(fs().Copy("C:\\QDW\\a.pdf", "C:\\a1.pdf", false), kSuccess);
  EXPECT_EQ(fs().Copy("C:\\QDW\\b.txt", "C:\\b1.txt", false), kSuccess);  // not counted
  EXPECT_EQ(fs().Copy("C:\\QDW\\a.pdf", "C:\\a2.pdf", false), kErrorAccessDenied);
  EXPECT_EQ(fs().Copy("C:\\QDW\\a.pdf", "C:\\a3.pdf", false), kSuccess);  // once only

  machine_.machine().faults().AddRule("File.Read", 1, kErrorReadFault);
  EXPECT_EQ(Read("C:\\QDW\\b.txt"), "");
}

TEST_F(FileSystemContractTest, AFullDriveRefusesWritesAndLeavesNoPartialCopy) {
  Write("C:\\big.bin", std::string(10000, 'x'));
  machine_.machine().faults().SetDiskFull('D', 6000);
  EXPECT_EQ(fs().Copy("C:\\big.bin", "D:\\big.bin", false), kErrorDiskFull);
  EXPECT_EQ(Attributes("D:\\big.bin"), kInvalidAttributes);
  EXPECT_EQ(fs().Move("C:\\big.bin", "D:\\big.bin"), kErrorDiskFull);
  EXPECT_EQ(Read("C:\\big.bin").size(), 10000u);

  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open("D:\\small.bin", kGenericWrite, 0, Disposition::kCreateNew, 0, &file),
            kSuccess);
  std::string chunk(4000, 'y');
  uint32_t written = 0;
  EXPECT_EQ(file->Write(chunk.data(), 4000, &written), kSuccess);
  EXPECT_EQ(file->Write(chunk.data(), 4000, &written), kErrorDiskFull);
  EXPECT_EQ(written, 0u);
}

}  // namespace
}  // namespace qdw::platform
