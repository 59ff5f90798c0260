#include "engine/backup/share_info_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/common/engine_test_support.h"

namespace qdw::backup {
namespace {

using platform::kAceAccessAllowed;
using platform::kAceAccessDenied;
using platform::kMaskFullControl;
using platform::kMaskRead;

constexpr char kWork[] = "D:\\Backups\\QDWBackUpTemp";
constexpr char kInfo[] = "D:\\Backups\\QDWBackUpTemp\\BackupShareInfo.txt";

class ShareInfoWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(machine_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
    ASSERT_EQ(machine_.files().MakeFolder(kWork), platform::kSuccess);
  }
  void Folder(const std::string& path) { machine_.machine().PutFile(path + "\\f.txt", path); }
  ShareInfoResult Write(const std::vector<std::string>& entries) {
    return writer_.Write(entries, kWork);
  }
  std::string Info() { return machine_.machine().ReadFile(kInfo); }

  testing::ProductMachine machine_;
  engine::EngineState state_;
  engine::NoLockedDocumentCleanup cleanup_;
  settings::ProductSettings settings_{machine_.platform()};
  engine::TreeCopier copier_{machine_.files(), state_, cleanup_};
  ShareInfoWriter writer_{machine_.platform(), settings_, copier_};
};

TEST_F(ShareInfoWriterTest, AdministratorRecordsRemarkLimitAndAccessList) {
  machine_.AllowSettingsWrite();
  Folder("C:\\Users\\jo\\Desktop\\Scans");
  machine_.Share("Scans", "C:\\Users\\jo\\Desktop\\Scans", "Team, scans", kAceAccessAllowed,
                 kMaskFullControl);
  ASSERT_EQ(Write({"Scans,C:\\Users\\jo\\Desktop\\Scans"}), ShareInfoResult::kWritten);
  EXPECT_EQ(Info(),
            "NT\nScans,OSVNQDWDESKTOP\\Scans,Scans,!vnqdw!Team, scans!vnqdw!,-1,Everyone,6\n");
  EXPECT_EQ(machine_.machine().ReadFile(std::string(kWork) + "\\Scans\\f.txt"),
            "C:\\Users\\jo\\Desktop\\Scans");
}

TEST_F(ShareInfoWriterTest, DeniedReadIsWrittenAsDenyAndPathsMatchIgnoringCase) {
  machine_.AllowSettingsWrite();
  Folder("C:\\Data\\Team");
  machine_.Share("Team", "C:\\DATA\\team", "", kAceAccessDenied, kMaskRead);
  ASSERT_EQ(Write({"Team,C:\\Data\\Team"}), ShareInfoResult::kWritten);
  EXPECT_EQ(Info(), "NT\nTeam,C:\\Data\\Team,Team,!vnqdw!!vnqdw!,-1,Everyone,1\n");
}

TEST_F(ShareInfoWriterTest, MissingRemarkIsAnEmptyField) {
  machine_.AllowSettingsWrite();
  Folder("C:\\Data\\Plain");
  platform::ShareInfo share;
  share.name = "Plain";
  share.path = "C:\\Data\\Plain";
  share.max_uses = 5;
  ASSERT_EQ(machine_.platform().shares().Add(share), platform::kSuccess);
  ASSERT_EQ(Write({"Plain,C:\\Data\\Plain"}), ShareInfoResult::kWritten);
  EXPECT_EQ(Info(), "NT\nPlain,C:\\Data\\Plain,Plain,!vnqdw!!vnqdw!,5\n");
}

TEST_F(ShareInfoWriterTest, PortableFormsMatchOnlyWholeFolders) {
  machine_.AllowSettingsWrite();
  Folder("C:\\Users\\jo\\Shares\\Box");
  Folder("C:\\Users\\joe\\Box");
  Folder("C:\\Users\\jo\\Documents\\Letters");
  Folder("C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Quillon Deskora\\Inbox");
  ASSERT_EQ(Write({"Box,C:\\Users\\jo\\Shares\\Box", "Joe,C:\\Users\\joe\\Box",
                   "Letters,c:\\users\\JO\\documents\\Letters",
                   "Inbox,C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Quillon Deskora\\Inbox"}),
            ShareInfoResult::kWritten);
  EXPECT_EQ(Info(),
            "NT\n"
            "Box,OSVNQDWEACHUSER\\SHARES\\BOX\n"
            "Joe,C:\\Users\\joe\\Box\n"
            "Letters,OSVNQDWMYDOCUMENT\\Letters\n"
            "Inbox,DATAVNQDWPATH\\VARNOLD\\QDW\\Quillon Deskora\\Inbox\n");
  EXPECT_TRUE(machine_.machine().Exists(std::string(kWork) + "\\Box\\f.txt"));
  EXPECT_TRUE(machine_.machine().Exists(std::string(kWork) + "\\Joe\\f.txt"));
  EXPECT_FALSE(machine_.machine().Exists(std::string(kWork) + "\\Inbox"))
      << "folders of the data folder are in the repository copy already";
}

TEST_F(ShareInfoWriterTest, WithoutWriteAccessEveryEntryIsKeptAndNetworkPathsAreNotCopied) {
  Folder("C:\\Data\\Team");
  machine_.Share("Team", "C:\\Data\\Team", "remark", kAceAccessAllowed, kMaskFullControl);
  ASSERT_EQ(Write({"Team,C:\\Data\\Team", "Gone,C:\\Data\\Gone", "Net,\\\\server\\docs"}),
            ShareInfoResult::kWritten);
  EXPECT_EQ(Info(), "NT\nTeam,C:\\Data\\Team\nGone,C:\\Data\\Gone\nNet,\\\\server\\docs\n");
  EXPECT_FALSE(machine_.machine().Exists(std::string(kWork) + "\\Net"));
  EXPECT_FALSE(machine_.machine().Exists(std::string(kWork) + "\\Gone\\f.txt"));
}

TEST_F(ShareInfoWriterTest, AdministratorLeavesOutFoldersThatAreGone) {
  machine_.AllowSettingsWrite();
  Folder("C:\\Data\\Team");
  ASSERT_EQ(Write({"Gone,C:\\Data\\Gone", "Team,C:\\Data\\Team"}), ShareInfoResult::kWritten);
  EXPECT_EQ(Info(), "NT\nTeam,C:\\Data\\Team\n");
}

TEST_F(ShareInfoWriterTest, CopyFolderThatCannotBeMadeMeansNoFile) {
  Folder("C:\\Data\\Team");
  Folder("C:\\Data\\Other");
  machine_.faults().AddRule("FileSystem.MakeFolder", 1, platform::kErrorAccessDenied,
                            "*\\QDWBackUpTemp\\Team");
  EXPECT_EQ(Write({"Team,C:\\Data\\Team", "Other,C:\\Data\\Other"}), ShareInfoResult::kFailed);
  EXPECT_FALSE(machine_.machine().Exists(kInfo));
  EXPECT_TRUE(machine_.machine().Exists(std::string(kWork) + "\\Other\\f.txt"))
      << "the loop goes on after a failed folder";
}

TEST_F(ShareInfoWriterTest, KeyNamesThatWouldLeaveTheWorkFolderAreRefused) {
  Folder("C:\\Data\\Team");
  EXPECT_EQ(Write({"..,C:\\Data\\Team"}), ShareInfoResult::kFailed);
  EXPECT_FALSE(machine_.machine().Exists("D:\\Backups\\f.txt"));
}

TEST_F(ShareInfoWriterTest, IncompleteCopyIsReportedButLockedFilesAreNot) {
  Folder("C:\\Data\\Team");
  machine_.machine().PutFile("C:\\Data\\Team\\held.pdf", "held");
  machine_.Lock("C:\\Data\\Team\\held.pdf");
  EXPECT_EQ(Write({"Team,C:\\Data\\Team"}), ShareInfoResult::kWritten);
  EXPECT_EQ(state_.locked_file_count, 1);

  machine_.faults().AddRule("FileSystem.Copy", 1, platform::kErrorDiskFull, "*\\f.txt");
  EXPECT_EQ(Write({"Again,C:\\Data\\Team"}), ShareInfoResult::kCopyIncomplete);
}

}  // namespace
}  // namespace qdw::backup
