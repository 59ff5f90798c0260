#include "rightsmend/access_rights.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>

#include "platform/sim/sim_file_system.h"
#include "tests/platform/ace_samples.h"
#include "tests/platform/sim_test_machine.h"
#include "tests/rightsmend/dacl_absent_platform.h"

namespace qdw::platform {
// Readable failure messages for access lists.
void PrintTo(const Acl& acl, std::ostream* out) {
  for (const Ace& ace : acl.entries) {
    *out << "{type " << int{ace.type} << " flags " << int{ace.flags} << " mask 0x" << std::hex
         << ace.mask << std::dec << " " << ace.sid.ToString() << "} ";
  }
}
}  // namespace qdw::platform

namespace qdw::rightsmend {
namespace {

using platform::Ace;
using platform::Acl;
using platform::Sid;

constexpr char kJoSid[] = "S-1-5-21-1004336348-1177238915-682003330-1001";
constexpr uint8_t kFolderFlags = 3;

Sid SidOf(const std::string& text) {
  Sid sid;
  EXPECT_TRUE(Sid::Parse(text, &sid)) << text;
  return sid;
}

Ace Allowed(const std::string& sid, uint32_t mask, uint8_t flags) {
  return Ace{platform::kAceAccessAllowed, flags, mask, SidOf(sid)};
}

class AccessRightsTest : public ::testing::Test {
 protected:
  Acl DaclOf(const std::string& path) {
    bool present = false;
    Acl acl;
    EXPECT_EQ(files().ReadDacl(path, &present, &acl), platform::kSuccess) << path;
    EXPECT_TRUE(present) << path;
    return acl;
  }
  void SetDacl(const std::string& path, const Acl& acl) {
    ASSERT_EQ(files().WriteDacl(path, acl), platform::kSuccess) << path;
  }
  void MakeFolder(const std::string& path) {
    ASSERT_EQ(files().MakeFolder(path), platform::kSuccess) << path;
  }
  int Change(const std::string& path, const std::string& account, uint32_t mask, int keep,
             int recurse) {
    return AccessRights(machine_.platform()).ChangeFullPath(path, account, mask, keep, recurse);
  }
  platform::FileSystem& files() { return machine_.platform().files(); }
  const sim::FaultInjector& faults() { return machine_.machine().faults(); }

  testing::SimTestMachine machine_;
  const Acl admin_and_jo_{{Allowed("S-1-5-32-544", platform::kMaskFullControl, kFolderFlags),
                           Allowed(kJoSid, platform::kMaskRead, kFolderFlags)}};
};

TEST_F(AccessRightsTest, ReplacingLeavesExactlyTheNewEntry) {
  machine_.PutFile("C:\\Data\\a.txt", "a");
  SetDacl("C:\\Data", admin_and_jo_);
  ASSERT_EQ(Change("C:\\Data", "Everyone", platform::kMaskChange, 0, 0), kRightsDone);
  EXPECT_EQ(DaclOf("C:\\Data"), Acl{{Allowed("S-1-1-0", platform::kMaskChange, kFolderFlags)}});
  // Any keep value other than exactly 1 replaces.
  ASSERT_EQ(Change("C:\\Data\\a.txt", "jo", platform::kMaskRead, 2, 0), kRightsDone);
  EXPECT_EQ(DaclOf("C:\\Data\\a.txt"), Acl{{Allowed(kJoSid, platform::kMaskRead, 0)}});
}

// Kept entries are copied as they are, whatever their kind: an inherit-only deny, an object and
// a callback entry stay in place and unchanged.
TEST_F(AccessRightsTest, KeepingAppendsAfterTheOtherAccountsEntriesEvenWhenEqual) {
  MakeFolder("C:\\Data");
  Acl old_dacl = admin_and_jo_;
  old_dacl.entries.insert(old_dacl.entries.begin() + 1,
                          testing::ObjectAce(kFolderFlags, platform::kMaskRead, SidOf(kJoSid)));
  old_dacl.entries.push_back(Ace{platform::kAceAccessDenied,
                                 kFolderFlags | platform::kAceInheritOnly, platform::kMaskChange,
                                 SidOf(kJoSid)});
  old_dacl.entries.push_back(testing::CallbackAce(0, platform::kMaskRead, SidOf(kJoSid)));
  SetDacl("C:\\Data", old_dacl);
  ASSERT_EQ(Change("C:\\Data", "jo", platform::kMaskRead, 1, 0), kRightsDone);
  Acl expected = old_dacl;
  expected.entries.push_back(Allowed(kJoSid, platform::kMaskRead, kFolderFlags));
  EXPECT_EQ(DaclOf("C:\\Data"), expected);
}

TEST_F(AccessRightsTest, RecursionReachesEveryFileAndFolder) {
  machine_.PutFile("C:\\Tree\\a.txt", "a");
  machine_.PutFile("C:\\Tree\\Sub\\b.txt", "b");
  machine_.PutFile("C:\\Tree\\Sub\\Deeper\\c.txt", "c");
  MakeFolder("C:\\Tree\\Empty");
  SetDacl("C:\\Tree\\Sub\\b.txt", admin_and_jo_);

  ASSERT_EQ(Change("C:\\Tree", "jo", platform::kMaskFullControl, 0, 1), kRightsDone);
  for (const char* folder :
       {"C:\\Tree", "C:\\Tree\\Sub", "C:\\Tree\\Sub\\Deeper", "C:\\Tree\\Empty"}) {
    EXPECT_EQ(DaclOf(folder), Acl{{Allowed(kJoSid, platform::kMaskFullControl, kFolderFlags)}})
        << folder;
  }
  for (const char* file :
       {"C:\\Tree\\a.txt", "C:\\Tree\\Sub\\b.txt", "C:\\Tree\\Sub\\Deeper\\c.txt"}) {
    EXPECT_EQ(DaclOf(file), Acl{{Allowed(kJoSid, platform::kMaskFullControl, 0)}}) << file;
  }
}

TEST_F(AccessRightsTest, WithoutRecursionOnlyTheFolderItselfChanges) {
  machine_.PutFile("C:\\Tree\\Sub\\b.txt", "b");
  SetDacl("C:\\Tree\\Sub\\b.txt", admin_and_jo_);
  ASSERT_EQ(Change("C:\\Tree", "jo", platform::kMaskFullControl, 0, 0), kRightsDone);
  EXPECT_EQ(DaclOf("C:\\Tree\\Sub\\b.txt"), admin_and_jo_);
}

TEST_F(AccessRightsTest, FatDriveIsLeftAlone) {
  machine_.PutFile("D:\\Data\\a.txt", "a");
  faults().AddRule("FileSystem.WriteDacl", 1, platform::kErrorAccessDenied, "", 0);
  EXPECT_EQ(Change("D:\\Data", "Everyone", platform::kMaskChange, 0, 1), kRightsDone);
  faults().Clear();
  bool present = true;
  Acl acl;
  ASSERT_EQ(files().ReadDacl("D:\\Data", &present, &acl), platform::kSuccess);
  EXPECT_FALSE(present);
}

TEST(AccessRightsOnOldWindowsTest, NothingChangesOutsideTheNtFamily) {
  testing::SimTestMachine machine(
      sim::Json{{"os_version", {{"platform_id", 1}, {"major", 4}, {"minor", 10}}}});
  machine.PutFile("C:\\Data\\a.txt", "a");
  machine.machine().faults().AddRule("FileSystem.WriteDacl", 1, platform::kErrorAccessDenied, "",
                                     0);
  EXPECT_EQ(AccessRights(machine.platform()).ChangeFullPath("C:\\Data", "Everyone", 1, 0, 1),
            kRightsDone);
  EXPECT_EQ(AccessRights(machine.platform()).ChangeRelative("X", "Everyone", 1, 0, 1), kRightsDone);
}

TEST_F(AccessRightsTest, EveryoneStandsForTheWorldOnlyWhenSpelledExactly) {
  MakeFolder("C:\\Data");
  SetDacl("C:\\Data", admin_and_jo_);
  // The machine cannot resolve names at all.
  faults().AddRule("Accounts.LookupName", 1, platform::kErrorNoneMapped, "", 0);
  EXPECT_EQ(Change("C:\\Data", "everyone", platform::kMaskChange, 0, 0), kRightsFailed);
  EXPECT_EQ(Change("C:\\Data", "jo", platform::kMaskChange, 0, 0), kRightsFailed);
  EXPECT_EQ(DaclOf("C:\\Data"), admin_and_jo_);
  ASSERT_EQ(Change("C:\\Data", "Everyone", platform::kMaskChange, 0, 0), kRightsDone);
  EXPECT_EQ(DaclOf("C:\\Data"), Acl{{Allowed("S-1-1-0", platform::kMaskChange, kFolderFlags)}});
  faults().Clear();
  EXPECT_EQ(Change("C:\\Data", "nobody-here", platform::kMaskChange, 0, 0), kRightsFailed);
}

TEST_F(AccessRightsTest, RelativePathLiesUnderTheCommonApplicationDataFolder) {
  machine_.PutFile("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt", "");
  AccessRights rights(machine_.platform());
  ASSERT_EQ(rights.ChangeRelative("VARNOLD\\Quillon Deskora Backup Tool", "Everyone",
                                  platform::kMaskFullControl, 0, 1),
            kRightsDone);
  EXPECT_EQ(DaclOf("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt"),
            Acl{{Allowed("S-1-1-0", platform::kMaskFullControl, 0)}});
  EXPECT_EQ(rights.ChangeRelative("VARNOLD\\Missing", "Everyone", 1, 0, 1), kRightsFailed);
}

// A junction planted in the data folder, or standing for a level of it, leads nowhere: the
// folders it points at keep their access lists, while the real folder's own entries change.
TEST_F(AccessRightsTest, RightsNeverReachAJunctionsTarget) {
  const std::string data = "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool";
  machine_.PutFile(data + "\\BackupLog.txt", "");
  machine_.PutFile("C:\\Windows\\Secret\\s.txt", "");
  SetDacl("C:\\Windows\\Secret", admin_and_jo_);
  SetDacl("C:\\Windows\\Secret\\s.txt", admin_and_jo_);
  ASSERT_EQ(sim::MakeSimJunction(machine_.machine(), data + "\\Planted", "C:\\Windows\\Secret"),
            platform::kSuccess);
  AccessRights rights(machine_.platform());
  ASSERT_EQ(rights.ChangeRelative("VARNOLD\\Quillon Deskora Backup Tool", "Everyone",
                                  platform::kMaskFullControl, 0, 1),
            kRightsDone);
  EXPECT_EQ(DaclOf(data + "\\BackupLog.txt"),
            Acl{{Allowed("S-1-1-0", platform::kMaskFullControl, 0)}});

  // The data folder itself, or a folder on its way, being a junction refuses the change.
  ASSERT_EQ(
      sim::MakeSimJunction(machine_.machine(), "C:\\ProgramData\\Other", "C:\\Windows\\Secret"),
      platform::kSuccess);
  ASSERT_EQ(sim::MakeSimJunction(machine_.machine(), "C:\\ProgramData\\Other2", "C:\\Windows"),
            platform::kSuccess);
  EXPECT_EQ(rights.ChangeRelative("Other", "Everyone", platform::kMaskFullControl, 0, 1),
            kRightsFailed);
  EXPECT_EQ(rights.ChangeRelative("Other2\\Secret", "Everyone", platform::kMaskFullControl, 0, 1),
            kRightsFailed);
  EXPECT_EQ(Change("C:\\ProgramData\\Other", "Everyone", platform::kMaskFullControl, 0, 0),
            kRightsFailed);
  EXPECT_EQ(DaclOf("C:\\Windows\\Secret"), admin_and_jo_);
  EXPECT_EQ(DaclOf("C:\\Windows\\Secret\\s.txt"), admin_and_jo_);
}

TEST(AccessRightsWithoutDataFolderTest, RelativePathNeedsTheCommonDataFolder) {
  testing::SimTestMachine machine(sim::Json{{"special_folders", {{"common_appdata", nullptr}}}});
  machine.PutFile("C:\\ProgramData\\Tree\\a.txt", "a");
  EXPECT_EQ(AccessRights(machine.platform()).ChangeRelative("Tree", "jo", 1, 0, 0), kRightsFailed);
}

TEST_F(AccessRightsTest, PathsBeyondTheBufferAreRefused) {
  const std::string folder = "C:\\" + std::string(240, 'f');
  MakeFolder(folder);
  machine_.PutFile(folder + "\\" + std::string(15, 'n'), "fits: 259 characters");
  EXPECT_EQ(Change(folder + "\\" + std::string(15, 'n'), "jo", 1, 0, 0), kRightsDone);
  EXPECT_EQ(Change(folder + "\\" + std::string(16, 'n'), "jo", 1, 0, 0), kRightsFailed);
  AccessRights rights(machine_.platform());
  EXPECT_EQ(rights.ChangeRelative(std::string(250, 'r'), "jo", 1, 0, 0), kRightsFailed);

  // A name the machine's own calls could not reach, put there behind their back: the walk
  // stops at it, and what was changed before stays changed.
  std::ofstream(machine_.HostPath(folder) + "/" + std::string(16, 'z')) << "260 characters";
  EXPECT_EQ(Change(folder, "jo", platform::kMaskRead, 0, 1), kRightsFailed);
  EXPECT_EQ(DaclOf(folder), Acl{{Allowed(kJoSid, platform::kMaskRead, kFolderFlags)}});
}

TEST_F(AccessRightsTest, ObjectWithoutADaclStartsFromAnEmptyList) {
  MakeFolder("C:\\Open");
  testing::DaclAbsentPlatform platform(machine_.platform());
  ASSERT_EQ(AccessRights(platform).ChangeFullPath("C:\\Open", "jo", platform::kMaskRead, 1, 0),
            kRightsDone);
  EXPECT_EQ(DaclOf("C:\\Open"), Acl{{Allowed(kJoSid, platform::kMaskRead, kFolderFlags)}});
}

TEST_F(AccessRightsTest, InjectedFaultsFailTheCallAndKeepTheOldList) {
  machine_.PutFile("C:\\Tree\\a.txt", "a");
  machine_.PutFile("C:\\Tree\\b.txt", "b");
  SetDacl("C:\\Tree", admin_and_jo_);
  SetDacl("C:\\Tree\\a.txt", admin_and_jo_);
  SetDacl("C:\\Tree\\b.txt", admin_and_jo_);
  const char* operations[] = {"FileSystem.VolumeFileSystem", "FileSystem.ReadAttributes",
                              "FileSystem.ReadDacl", "FileSystem.WriteDacl"};
  for (const char* operation : operations) {
    faults().AddRule(operation, 1, platform::kErrorAccessDenied);
    EXPECT_EQ(Change("C:\\Tree", "jo", platform::kMaskRead, 0, 1), kRightsFailed) << operation;
    faults().Clear();
    EXPECT_EQ(DaclOf("C:\\Tree"), admin_and_jo_) << operation;
  }
  faults().AddRule("FileSystem.Find", 1, platform::kErrorAccessDenied);
  EXPECT_EQ(Change("C:\\Tree", "jo", platform::kMaskRead, 0, 1), kRightsFailed);
  faults().Clear();
  // The second file's write fails: the folder and the first file stay changed.
  faults().AddRule("FileSystem.WriteDacl", 3, platform::kErrorAccessDenied);
  EXPECT_EQ(Change("C:\\Tree", "jo", platform::kMaskRead, 0, 1), kRightsFailed);
  faults().Clear();
  EXPECT_EQ(DaclOf("C:\\Tree\\a.txt"), Acl{{Allowed(kJoSid, platform::kMaskRead, 0)}});
  EXPECT_EQ(DaclOf("C:\\Tree\\b.txt"), admin_and_jo_);

  faults().AddRule("Shell.SpecialFolder", 1, platform::kErrorFileNotFound);
  EXPECT_EQ(AccessRights(machine_.platform()).ChangeRelative("Tree", "jo", 1, 0, 0), kRightsFailed);
}

}  // namespace
}  // namespace qdw::rightsmend
