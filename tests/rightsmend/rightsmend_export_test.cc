// The built library's C exports. The library links a private copy of the platform code, yet it
// works on the machine the test installed: the suite shares one machine, and a test that makes
// a second machine sees the library follow it.
#include <gtest/gtest.h>

#include <memory>

#include "rightsmend/rightsmend.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw {
namespace {

class RightsmendExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    machine_ = new testing::SimTestMachine();
    machine_->MakeDefault();
  }
  static void TearDownTestSuite() {
    delete machine_;
    machine_ = nullptr;
  }
  platform::Acl DaclOf(const std::string& path) {
    bool present = false;
    platform::Acl acl;
    EXPECT_EQ(machine_->platform().files().ReadDacl(path, &present, &acl), platform::kSuccess);
    return acl;
  }

  static testing::SimTestMachine* machine_;
};

testing::SimTestMachine* RightsmendExportTest::machine_ = nullptr;

TEST_F(RightsmendExportTest, FullPathGrantsEveryoneChangeOnAShareFolder) {
  machine_->PutFile("C:\\Shares\\Box\\a.txt", "a");
  ASSERT_EQ(
      VNChangeAccessRightsFullPath("C:\\Shares\\Box", "Everyone", platform::kMaskChange, 0, 0), 1);
  const platform::Acl acl = DaclOf("C:\\Shares\\Box");
  ASSERT_EQ(acl.entries.size(), 1u);
  EXPECT_EQ(acl.entries[0].sid, platform::Sid::World());
  EXPECT_EQ(acl.entries[0].mask, platform::kMaskChange);
  EXPECT_EQ(acl.entries[0].flags, 3);
}

TEST_F(RightsmendExportTest, RelativePathOpensTheToolsDataFolder) {
  machine_->PutFile("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt", "");
  ASSERT_EQ(VNChangeAccessRights("VARNOLD\\Quillon Deskora Backup Tool", "Everyone",
                                 platform::kMaskFullControl, 0, 1),
            1);
  const platform::Acl acl =
      DaclOf("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt");
  ASSERT_EQ(acl.entries.size(), 1u);
  EXPECT_EQ(acl.entries[0].mask, platform::kMaskFullControl);
  EXPECT_EQ(acl.entries[0].flags, 0);
}

TEST_F(RightsmendExportTest, FailuresAreReportedAsZero) {
  EXPECT_EQ(VNChangeAccessRightsFullPath("C:\\Missing", "Everyone", 1, 0, 0), 0);
  EXPECT_EQ(VNChangeAccessRightsFullPath(nullptr, "Everyone", 1, 0, 0), 0);
  EXPECT_EQ(VNChangeAccessRights("VARNOLD", nullptr, 1, 0, 0), 0);
}

// The library must never keep serving a machine the process has moved on from.
TEST(RightsmendMachineTest, EachMachineOfTheProcessIsServedByItself) {
  auto grant = [](testing::SimTestMachine& machine, const std::string& folder) {
    machine.MakeDefault();
    machine.PutFile(folder + "\\a.txt", "a");
    EXPECT_EQ(VNChangeAccessRightsFullPath(folder.c_str(), "Everyone", platform::kMaskChange, 0, 0),
              1)
        << folder;
    bool present = false;
    platform::Acl acl;
    EXPECT_EQ(machine.platform().files().ReadDacl(folder, &present, &acl), platform::kSuccess);
    ASSERT_EQ(acl.entries.size(), 1u) << folder;
    EXPECT_EQ(acl.entries[0].mask, platform::kMaskChange);
  };
  {
    testing::SimTestMachine first;
    grant(first, "C:\\First");
  }
  testing::SimTestMachine second;
  grant(second, "C:\\Second");
}

}  // namespace
}  // namespace qdw
