// Restores that fail, run from the backup and restore dialog with the real engine on a stand-in
// machine: each failure comes from the machine state that causes it, shows its message under
// message 125, is logged as a failed restore, and leaves the installation as it was.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "app/app_prompts.h"
#include "app/file_dlg.h"
#include "app/headless/transcript.h"
#include "app/machine_services.h"
#include "database/product_schema.h"
#include "engine/backup_restore.h"
#include "engine/common/engine_state.h"
#include "engine/backup/compress_packer.h"
#include "tests/app/app_test_support.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::testing {
namespace {

constexpr char kArchive[] = "D:\\Backups\\Full.qdw";
constexpr char kTemp[] = "C:\\Users\\jo\\Documents\\VARNOLDBackUpTemp";
constexpr char kQdw[] = "C:\\Users\\jo\\Documents\\VARNOLD\\QDW";
constexpr char kLogLine[] = "3,0,D:\\Backups\\Full.qdw,2026/12/06 10:05\n";

class RestoreCodesTest : public ::testing::Test {
 protected:
  explicit RestoreCodesTest(const sim::Json& patch = sim::Json::object()) : product_(patch) {
    product_.machine().MakeDefault();
    engine::ProcessEngineState().undeletable_files.clear();
    product_.machine().PutFile(std::string(kQdw) + "\\FTSIndex\\catalog.wci", "catalog");
    EXPECT_EQ(product_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
  }

  void MakeDatabase() {
    std::string error;
    ASSERT_TRUE(database::CreateProductDatabase(product_.files(), product_.platform().databases(),
                                                std::string(kQdw) + "\\DataBase\\VNDATABASE.mdb",
                                                &error))
        << error;
  }
  ~RestoreCodesTest() override { engine::ProcessEngineState().undeletable_files.clear(); }

  // Backs the product up as "Full", then damages it: a document deleted, a stray file added.
  void BackUpAndDamage() {
    MakeDatabase();
    ScriptedPrompts prompts;
    backup::CompressPacker packer;
    engine::CBackupRestore engine(product_.platform(), prompts, packer);
    ASSERT_EQ(engine.Backup(ProductMachine::kRepository, "D:\\Backups", "Full"), 0);
    ASSERT_EQ(engine.archive_path(), kArchive);
    ASSERT_EQ(product_.files().Delete(std::string(kQdw) + "\\Quillon Deskora\\Inbox\\inv1.pdf"),
              platform::kSuccess);
    product_.machine().PutFile(std::string(kQdw) + "\\stray.txt", "x");
    damaged_ = product_.ProductSnapshot();
  }

  // Runs a restore of kArchive from the dialog; `middle` answers what the engine asks.
  // Returns the first failure of the script, empty when every line was met.
  std::string RunRestore(const std::string& middle, const std::string& outcome) {
    const std::string script = std::string("type 1009 ") + kArchive +
                               "\nclick 1\nexpect message 123\nanswer yes\n" + middle +
                               "expect text 1033 " + headless::OneLine(outcome) + "\nclose\n";
    ScriptedUi scripted(script, &product_.files());
    app::MachineServices services(product_.platform(), scripted.host());
    app::AppPrompts prompts(scripted.ui(), product_.platform());
    app::AppContext context{scripted.ui(), product_.platform(), services, prompts, ""};
    try {
      app::CFileDlg dialog(context, 3);
      dialog.DoModal();
      scripted.host().Finish();
    } catch (const headless::ScriptFailure&) {
    }
    if (std::getenv("QDW_TEST_SHOW_TRANSCRIPT") != nullptr) std::cerr << scripted.transcript();
    return scripted.failure();
  }

  static std::string Failure(int message) {
    return ModuleText(125) + "\n" + (message == 0 ? "" : ModuleText(message));
  }
  std::string Log() { return product_.machine().ReadFile(kLogFile); }

  // The old installation, with no kept trees and no temporary folder left.
  void ExpectUntouched() {
    EXPECT_EQ(product_.ProductSnapshot(), damaged_);
    EXPECT_FALSE(product_.machine().Exists(kTemp));
    EXPECT_FALSE(product_.machine().Exists(std::string(kQdw) + "_KeptByRestore"));
  }

  ProductMachine product_;
  std::map<std::string, std::string> damaged_;
};

TEST_F(RestoreCodesTest, MachineStatesGiveTheirCodesAndKeepTheInstallation) {
  BackUpAndDamage();
  const std::string data_folder = std::string(kDataFolder) + "\\";
  const struct {
    const char* what;
    std::function<void()> cause;
    int message;
  } cases[] = {
      // 207: the restored full-text catalog cannot be made hidden.
      {"catalog attributes",
       [&] {
         product_.faults().AddRule("FileSystem.WriteAttributes", 1, platform::kErrorAccessDenied,
                                   std::string(kQdw) + "\\FTSIndex\\catalog.wci");
       },
       144},
      // 209: the unpacked tree cannot be listed to remove its markers.
      {"unpacked tree unlisted",
       [&] {
         product_.faults().AddRule("FileSystem.Find", 1, platform::kErrorAccessDenied,
                                   std::string(kTemp) + "\\*.*");
       },
       129},
      // 210: an old marker of the process check is held open by another program.
      {"process check",
       [&] {
         product_.machine().PutFile(data_folder + "BackupEnumProcess.txt", "1");
         product_.Lock(data_folder + "BackupEnumProcess.txt");
       },
       108},
      // 211: the product's main program was started after the tool.
      {"product running",
       [&] {
         product_.machine().machine().store().Write(
             "processes.json", {{"processes", {{{"pid", 4242}, {"name", "QDW.EXE"}}}}});
       },
       110},
      // 202: a file of the unpacked tree cannot be copied in (copy-then-delete on 6.1).
      {"copy into place",
       [&] {
         product_.faults().AddRule("FileSystem.Copy", 1, platform::kErrorAccessDenied,
                                   std::string(kTemp) + "\\VARNOLD\\QDW\\*");
       },
       133},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.cause();
    EXPECT_EQ(RunRestore("", Failure(c.message)), "");
    product_.faults().Clear();
    product_.machine().machine().store().Write("locks.json", {{"locks", sim::Json::array()}});
    product_.machine().machine().store().Write("processes.json",
                                               {{"processes", sim::Json::array()}});
    EXPECT_EQ(Log(), kLogLine);
    ASSERT_EQ(product_.files().Delete(kLogFile), platform::kSuccess);
    ExpectUntouched();
  }
}

TEST_F(RestoreCodesTest, DocumentOpenInAnOutsideShareKeepsEverythingAsItWas) {
  constexpr char kScans[] = "C:\\Users\\jo\\Desktop\\Scans";
  product_.AllowSettingsWrite();
  product_.machine().PutFile(std::string(kScans) + "\\f.txt", "at backup time");
  product_.Share("Scans", kScans, "scans", platform::kAceAccessAllowed, platform::kMaskChange);
  product_.SetSharedFolders({"Scans"}, {kScans});
  BackUpAndDamage();
  // A document the user keeps open in the shared folder: the folder cannot be set aside to
  // make room for the archive's copy, so the restore fails and puts everything back.
  product_.machine().PutFile(std::string(kScans) + "\\open.txt", "open");
  product_.Lock(std::string(kScans) + "\\open.txt");
  product_.machine().PutFile(std::string(kScans) + "\\f.txt", "changed");

  EXPECT_EQ(RunRestore("", Failure(137)), "");
  EXPECT_EQ(Log(), kLogLine);
  ExpectUntouched();
  EXPECT_EQ(product_.machine().ReadFile(std::string(kScans) + "\\f.txt"), "changed");
  EXPECT_EQ(product_.machine().ReadFile(std::string(kScans) + "\\open.txt"), "open");
  platform::ShareInfo share;
  EXPECT_EQ(product_.platform().shares().GetInfo("Scans", &share), platform::kSuccess);
}

TEST_F(RestoreCodesTest, KeptTreeThatCannotBeRemovedEndsWith307AfterMessage183) {
  BackUpAndDamage();
  // A program opens a file of the installation while the restore has it set aside: the restore
  // is kept, but that tree cannot be cleared away.
  const std::string kept_file = std::string(kQdw) + "_KeptByRestore\\stray.txt";
  product_.Lock(kept_file);
  EXPECT_EQ(RunRestore("expect message 183\nanswer ok\n", Failure(0)), "");
  EXPECT_EQ(Log(), kLogLine);
  EXPECT_TRUE(product_.machine().Exists(std::string(kQdw) + "\\Quillon Deskora\\Inbox\\inv1.pdf"));
  EXPECT_FALSE(product_.machine().Exists(std::string(kQdw) + "\\stray.txt"));
  EXPECT_TRUE(product_.machine().Exists(kept_file));
}

TEST_F(RestoreCodesTest, FailingUnpackAsksForAnotherTemporaryFolder) {
  BackUpAndDamage();
  const auto before_damage_file = std::string(kQdw) + "\\Quillon Deskora\\Inbox\\inv1.pdf";
  // No file can be written below the first temporary folder; the second one is on D:.
  product_.faults().AddRule("FileSystem.Open", 1, platform::kErrorDiskFull,
                            std::string(kTemp) + "\\VARNOLD\\*", 0);
  EXPECT_EQ(RunRestore("expect dialog 106\ntype 1027 D:\\\nclick 1\n", ModuleText(138)), "");
  EXPECT_EQ(Log(), "3,1,D:\\Backups\\Full.qdw,2026/12/06 10:05\n");
  EXPECT_TRUE(product_.machine().Exists(before_damage_file));
  EXPECT_FALSE(product_.machine().Exists(std::string(kQdw) + "\\stray.txt"));
  EXPECT_FALSE(product_.machine().Exists("D:\\VARNOLDBackUpTemp"));
  EXPECT_FALSE(product_.machine().Exists(kTemp));
}

// Windows Vista moves files instead of copying them: a file that cannot be moved leaves the
// move incomplete (205), and the kept installation goes back.
class VistaRestoreCodesTest : public RestoreCodesTest {
 protected:
  VistaRestoreCodesTest() : RestoreCodesTest({{"os_version", {{"minor", 0}}}}) {}
};

TEST_F(VistaRestoreCodesTest, IncompleteMoveEndsWith205AndKeepsTheInstallation) {
  BackUpAndDamage();
  product_.faults().AddRule("FileSystem.Move", 1, platform::kErrorAccessDenied,
                            std::string(kTemp) + "\\VARNOLD\\QDW\\Quillon Deskora\\*");
  EXPECT_EQ(RunRestore("", Failure(136)), "");
  EXPECT_EQ(Log(), kLogLine);
  ExpectUntouched();
}

// A user who may not write the product's machine settings, with shared folders in the
// database: refused with 214 before anything is copied.
class UserRestoreCodesTest : public RestoreCodesTest {
 protected:
  UserRestoreCodesTest() : RestoreCodesTest({{"current_user", {{"admin", false}}}}) {}
};

TEST_F(UserRestoreCodesTest, SharedFoldersWithoutWritableSettingsEndWith214) {
  const std::string database = std::string(kQdw) + "\\DataBase\\VNDATABASE.mdb";
  MakeDatabase();
  auto connection = product_.platform().databases().NewConnection();
  ASSERT_TRUE(connection->Open(
      "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + database, false, false, false));
  ASSERT_TRUE(connection->Execute(
      "INSERT INTO qln_folder (id, name, path, shared, share_type) VALUES (5, 'Docs', "
      "'D:\\Docs', 1, 0)"));
  connection->Close();
  product_.machine().PutFile(kArchive, "not looked at before the check");
  damaged_ = product_.ProductSnapshot();

  EXPECT_EQ(RunRestore("", Failure(162)), "");
  EXPECT_EQ(Log(), kLogLine);
  ExpectUntouched();
}

}  // namespace
}  // namespace qdw::testing
