// The backup and restore dialog as a user meets it: the two modes, the enabling rules, the
// browse buttons, back, the default archive name and the refused destinations.
#include "tests/app/file_dlg_fixture.h"

namespace qdw::testing {
namespace {

class FileDlgTest : public DialogTest {};

TEST_F(FileDlgTest, BackupModeShowsDestinationAndDefaultNameWithOkDisabled) {
  const std::string script =
      "expect dialog 105\n" + ExpectText(1014, ModuleText(1014)) +
      ExpectText(1017, ModuleText(1016)) + ExpectText(1018, ModuleText(1017)) +
      ExpectText(1010, ModuleText(1028)) +
      "expect text 1013 QDWBackup26Dec06\n"
      "expect shown 1008\nexpect shown 1016\nexpect hidden 1009\n"
      "expect hidden 1011\nexpect hidden 1019\nexpect hidden 1033\n"
      "expect hidden 1036\nexpect disabled 1\n" +
      ExpectText(1, ModuleText(153)) + ExpectText(1004, ModuleText(106)) + "close\n";
  EXPECT_EQ(RunFileDialog(1, script), "");
}

TEST_F(FileDlgTest, RestoreModeShowsOnlyTheArchiveInput) {
  const std::string script = ExpectText(1014, ModuleText(124)) +
                             ExpectText(1019, ModuleText(1018)) +
                             ExpectText(1011, ModuleText(1028)) +
                             "expect shown 1009\nexpect hidden 1008\nexpect hidden 1013\n"
                             "expect hidden 1010\nexpect hidden 1015\nexpect hidden 1016\n"
                             "expect hidden 1017\nexpect hidden 1018\nexpect disabled 1\nclose\n";
  EXPECT_EQ(RunFileDialog(3, script), "");
}

class LocalDateTest : public DialogTest {
 protected:
  // 23:30 UTC on 9 January is already the 10th on the machine's clock (one hour ahead).
  LocalDateTest() : DialogTest({{"clock", {{"fixed", "2027-01-09T23:30:00"}}}}) {}
};

TEST_F(LocalDateTest, DefaultArchiveNameFollowsTheMachinesLocalDate) {
  EXPECT_EQ(RunFileDialog(1, "expect text 1013 QDWBackup27Jan10\nclose\n"), "");
}

TEST_F(FileDlgTest, OkNeedsBothBackupInputs) {
  const std::string script =
      "expect disabled 1\n"
      "type 1008 D:\\Backup\nexpect enabled 1\n"
      "type 1013\nexpect disabled 1\n"
      "type 1013 Weekly\nexpect enabled 1\n"
      "type 1008\nexpect disabled 1\nclose\n";
  EXPECT_EQ(RunFileDialog(1, script), "");
}

TEST_F(FileDlgTest, OkNeedsTheArchiveToRestore) {
  const std::string script =
      "type 1009 D:\\Backup\\a.qdw\nexpect enabled 1\ntype 1009\nexpect disabled 1\nclose\n";
  EXPECT_EQ(RunFileDialog(3, script), "");
}

TEST_F(FileDlgTest, FolderBrowserFillsTheDestination) {
  machine_.PutFile("D:\\Backups\\keep.txt", "");
  const std::string script =
      "click 1010\nbrowse D:\\Backups\nexpect text 1008 D:\\Backups\nexpect enabled 1\n"
      "click 1010\nbrowse cancel\nexpect text 1008 D:\\Backups\nclose\n";
  EXPECT_EQ(RunFileDialog(1, script), "");
  EXPECT_NE(transcript().find("folder browser \"" + ModuleText(122) + "\""), std::string::npos);
}

TEST_F(FileDlgTest, FolderBrowserOffersOnlyFoldersOfTheMachine) {
  EXPECT_NE(RunFileDialog(1, "click 1010\nbrowse D:\\Nowhere\n")
                .find("the folder browser shows no folder \"D:\\Nowhere\""),
            std::string::npos);
}

TEST_F(FileDlgTest, FileOpenDialogFillsTheArchiveFromTheDocumentsFolder) {
  const std::string script =
      "click 1011\nbrowse D:\\Backup\\QDWBackup26Dec06.qdw\n"
      "expect text 1009 D:\\Backup\\QDWBackup26Dec06.qdw\nexpect enabled 1\n"
      "click 1011\nbrowse cancel\nexpect text 1009 D:\\Backup\\QDWBackup26Dec06.qdw\nclose\n";
  EXPECT_EQ(RunFileDialog(3, script), "");
  EXPECT_NE(transcript().find("file-open dialog \"Qdw(*.qdw)|*.qdw||\" in "
                              "\"C:\\Users\\jo\\Documents\" name \"*.qdw\""),
            std::string::npos)
      << transcript();
}

TEST_F(FileDlgTest, BackGoesToTheChoiceDialogWithTheModeChecked) {
  const std::string script =
      "click 1004\nexpect dialog 102\nexpect checked 1001\nexpect unchecked 1000\nclose\n";
  EXPECT_EQ(RunFileDialog(3, script), "");
}

TEST_F(FileDlgTest, UnsafeDestinationsAreRefusedAfterStoppingServices) {
  const char* refused[] = {
      "C:\\WINDOWS\\Backup",
      "c:\\windows",
      "D:\\Copies\\C:\\Windows\\x",
      "C:\\PROGRAM FILES\\Backup",  // beside the x86 folder a 32-bit program's variable names
      "C:\\Program Files (x86)\\Backup",
      "C:\\Users\\jo\\Repo\\VARNOLD",
      "c:\\users\\jo\\repo\\varnold\\QDW\\Backup\\",
      // What the system resolves into those folders.
      "C:\\Users\\jo\\Repo\\x\\..\\VARNOLD\\QDW",
      "C:\\Users\\jo\\Repo\\VARNOLD.",
      "C:\\Users\\jo\\Repo\\.\\VARNOLD.\\QDW",
      "C:/Users/jo/Repo/VARNOLD/QDW",
      "C:\\Temp\\..\\Windows\\Backup",
      "C:\\Users\\..\\Program Files (x86) ",
      // Paths the system does not resolve at all.
      "Backups",
      "D:Backups",
      "\\\\?\\D:\\Backups",
  };
  for (const char* destination : refused) {
    const std::string script =
        std::string("type 1008 ") + destination + "\nclick 1\nexpect message 185\nanswer ok\n" +
        ExpectText(1033, "\n" + ModuleText(147)) + "expect shown 1033\nexpect hidden 1\nclose\n";
    EXPECT_EQ(RunFileDialog(1, script,
                            [](FakeRunServices& services) {
                              services.services["VNQLNSharedFolder"].running = true;
                            }),
              "")
        << destination;
    EXPECT_FALSE(services().Called("backup")) << services().CallList();
    EXPECT_TRUE(services().Called("stop VNQLNSharedFolder")) << destination;
    EXPECT_TRUE(services().Called("start VNQLNSharedFolder")) << destination;
    EXPECT_TRUE(services().Called("command-line-start")) << destination;
  }
  // Each refusal was logged as a failed backup without an archive path.
  const std::string log = Log();
  size_t lines = 0;
  for (size_t at = log.find("1,0,,2026/12/06 10:05\n"); at != std::string::npos;
       at = log.find("1,0,,2026/12/06 10:05\n", at + 1)) {
    ++lines;
  }
  EXPECT_EQ(lines, std::size(refused)) << log;
}

TEST_F(FileDlgTest, DestinationsBesideTheProductFolderAreAccepted) {
  for (const char* destination :
       {"C:\\Users\\jo\\Repo", "C:\\Users\\jo\\Repo\\VARNOLDCopies", "D:\\Backup", "D:\\", "D:"}) {
    const std::string script = std::string("type 1008 ") + destination + "\nclick 1\n" +
                               ExpectText(1033, ModuleText(138)) + "close\n";
    EXPECT_EQ(RunFileDialog(1, script), "") << destination;
    EXPECT_TRUE(services().Called(std::string("backup C:\\Users\\jo\\Repo|") + destination +
                                  "|QDWBackup26Dec06"))
        << services().CallList();
  }
}

TEST_F(FileDlgTest, AbandonedBackupGivesTheDialogBackWithAFreshName) {
  const std::string script =
      "type 1013 Mine\ntype 1008 D:\\Backup\nclick 1\n"
      "expect shown 1\nexpect enabled 1\nexpect shown 1004\nexpect shown 1008\n"
      "expect shown 1013\nexpect shown 1015\nexpect shown 1016\nexpect hidden 1033\n"
      "expect text 1013 QDWBackup26Dec06\nexpect text 1008 D:\\Backup\n" +
      ExpectText(1014, ModuleText(1014)) + ExpectText(2, ModuleText(2)) +
      "type 1013 Second\nclick 1\nexpect hidden 1033\nexpect text 1013 QDWBackup26Dec06\n"
      "close\n";
  EXPECT_EQ(
      RunFileDialog(1, script, [](FakeRunServices& services) { services.backup_result = 100; }),
      "");
  // Both runs went to the engine; neither was logged, since the engine gave up each time.
  EXPECT_TRUE(services().Called("backup C:\\Users\\jo\\Repo|D:\\Backup|Mine"));
  EXPECT_TRUE(services().Called("backup C:\\Users\\jo\\Repo|D:\\Backup|Second"));
  EXPECT_EQ(Log(), "");
}

TEST_F(FileDlgTest, AbandonedRestoreGivesTheArchiveInputBack) {
  const std::string script = "type 1009 D:\\a.qdw\nclick 1\nanswer yes\n" +
                             ExpectText(1014, ModuleText(1019)) +
                             "expect shown 1009\nexpect shown 1011\nexpect shown 1019\n"
                             "expect text 1009 D:\\a.qdw\nexpect shown 1\nclose\n";
  EXPECT_EQ(
      RunFileDialog(3, script, [](FakeRunServices& services) { services.restore_results = {100}; }),
      "");
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace qdw::testing
