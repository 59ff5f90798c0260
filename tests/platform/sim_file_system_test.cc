// What only the stand-in machine can show of files: its second (FAT) drive and CD-ROM, moves
// between drives, inherited access lists, and injected faults and full drives.
#include <algorithm>
#include <memory>

#include "tests/platform/file_system_test_fixture.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using Strings = std::vector<std::string>;

class SimFileSystemTest : public FileSystemCases {
 protected:
  FileSystem& fs() override { return machine_.platform().files(); }
  testing::SimTestMachine machine_;
};

TEST_F(SimFileSystemTest, ACdRomTakesNoWrites) {
  std::unique_ptr<File> file;
  EXPECT_EQ(fs().Open("E:\\new.txt", kGenericWrite, 0, Disposition::kCreateAlways, 0, &file),
            kErrorAccessDenied);
  EXPECT_EQ(file, nullptr);
}

TEST_F(SimFileSystemTest, FatDrivesListEveryEntryToo) {
  ASSERT_EQ(fs().MakeFolder("D:\\Data"), kSuccess);
  for (const char* name : {"z.txt", "a.txt", "m.txt"}) Write(std::string("D:\\Data\\") + name, "");
  Strings names = Names("D:\\Data\\*.*");
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], ".");
  EXPECT_EQ(names[1], "..");
  std::sort(names.begin() + 2, names.end());
  EXPECT_EQ(names, (Strings{".", "..", "a.txt", "m.txt", "z.txt"}));
}

TEST_F(SimFileSystemTest, FilesMoveToAnotherDriveAndFoldersDoNot) {
  ASSERT_EQ(fs().MakeFolder("C:\\Tree"), kSuccess);
  Write("C:\\Tree\\ro.txt", "ro");
  ASSERT_EQ(fs().WriteAttributes("C:\\Tree\\ro.txt", kAttrReadOnly), kSuccess);
  EXPECT_EQ(fs().Move("C:\\Tree", "D:\\Tree"), kErrorNotSameDevice);
  ASSERT_EQ(fs().Move("C:\\Tree\\ro.txt", "D:\\ro.txt"), kSuccess);
  EXPECT_EQ(Read("D:\\ro.txt"), "ro");
  EXPECT_EQ(Attributes("D:\\ro.txt"), kAttrReadOnly);
  EXPECT_EQ(Attributes("C:\\Tree\\ro.txt"), kInvalidAttributes);
  Write("C:\\big.txt", "big");
  ASSERT_EQ(fs().WriteAttributes("C:\\big.txt", kAttrReadOnly | kAttrHidden), kSuccess);
  ASSERT_EQ(fs().Copy("C:\\big.txt", "D:\\big.txt", true), kSuccess);
  EXPECT_EQ(Read("D:\\big.txt"), "big");
  EXPECT_EQ(Attributes("D:\\big.txt"), kAttrReadOnly | kAttrHidden);  // no archive bit added
}

TEST_F(SimFileSystemTest, DrivesAreThoseOfTheMachineDescription) {
  EXPECT_EQ(fs().DriveKind("C:\\"), kDriveFixed);
  EXPECT_EQ(fs().DriveKind("d:"), kDriveFixed);
  EXPECT_EQ(fs().DriveKind("E:\\"), kDriveCdRom);
  EXPECT_EQ(fs().DriveKind("C:\\Users"), kDriveNoRootDir);
  EXPECT_EQ(Attributes("C:\\"), kAttrDirectory);
  std::string name;
  EXPECT_EQ(fs().VolumeFileSystem("C:\\", &name), kSuccess);
  EXPECT_EQ(name, "NTFS");
  EXPECT_EQ(fs().VolumeFileSystem("D:\\", &name), kSuccess);
  EXPECT_EQ(name, "FAT32");
  uint64_t free_bytes = 0;
  EXPECT_EQ(fs().FreeSpace("C:\\", &free_bytes), kSuccess);
  EXPECT_EQ(free_bytes, 50000000000ULL);
  machine_.machine().faults().SetDiskFull('C', 4096);
  EXPECT_EQ(fs().FreeSpace("C:\\", &free_bytes), kSuccess);
  EXPECT_EQ(free_bytes, 4096u);
  std::string temp;
  ASSERT_EQ(fs().TempFileName("qdw", &temp), kSuccess);
  EXPECT_EQ(temp.rfind("C:\\Users\\jo\\AppData\\Local\\Temp\\qdw", 0), 0u) << temp;
}

TEST_F(SimFileSystemTest, AccessListsAreInheritedOnNtfsOnly) {
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
  ASSERT_EQ(fs().ReadDacl("C:\\Share\\f.txt", &present, &acl), kSuccess);
  ASSERT_EQ(acl.entries.size(), 1u);  // the deny entry does not inherit
  EXPECT_EQ(acl.entries[0].flags, kAceInherited);
  EXPECT_EQ(acl.entries[0].mask, kMaskChange);
  ASSERT_EQ(fs().ReadDacl("C:\\Share\\Sub", &present, &acl), kSuccess);
  EXPECT_EQ(acl.entries[0].flags, kAceInherited | kAceObjectInherit | kAceContainerInherit);

  Write("D:\\fat.txt", "x");
  ASSERT_EQ(fs().ReadDacl("D:\\fat.txt", &present, &acl), kSuccess);
  EXPECT_FALSE(present);
  EXPECT_EQ(fs().WriteDacl("D:\\fat.txt", written), kErrorNotSupported);
}

TEST_F(SimFileSystemTest, InjectedFaultsHitTheNamedCallsOnly) {
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

TEST_F(SimFileSystemTest, AFullDriveRefusesWritesAndLeavesNoPartialCopy) {
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
