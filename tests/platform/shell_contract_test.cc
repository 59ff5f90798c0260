// Special folders, environment expansion, "open" and folder paths.
#include <gtest/gtest.h>

#include <memory>

#include "platform/file_system.h"
#include "platform/shell.h"
#include "tests/platform/sim_probe.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

TEST(ShellContractTest, ReportsTheMachineFolders) {
  SimTestMachine machine(sim::Json{{"special_folders", {{"desktop", nullptr}}}});
  Shell& shell = machine.platform().shell();
  std::string path;
  EXPECT_EQ(shell.SpecialFolder(kCsidlPersonal, &path), kSuccess);
  EXPECT_EQ(path, "C:\\Users\\jo\\Documents");
  EXPECT_EQ(shell.SpecialFolder(kCsidlCommonAppData, &path), kSuccess);
  EXPECT_EQ(path, "C:\\ProgramData");
  EXPECT_EQ(shell.SpecialFolder(kCsidlDesktop, &path), kErrorFileNotFound);
  EXPECT_EQ(shell.WindowsFolder(&path), kSuccess);
  EXPECT_EQ(path, "C:\\Windows");
  EXPECT_EQ(shell.SystemFolder(&path), kSuccess);
  EXPECT_EQ(path, "C:\\Windows\\system32");
}

TEST(ShellContractTest, ExpandsKnownVariablesAndLeavesOthersAsWritten) {
  SimTestMachine machine;
  Shell& shell = machine.platform().shell();
  EXPECT_EQ(shell.ExpandEnvironment("%ProgramFiles%\\VARNOLD"), "C:\\Program Files\\VARNOLD");
  EXPECT_EQ(shell.ExpandEnvironment("%programfiles%"), "C:\\Program Files");
  EXPECT_EQ(shell.ExpandEnvironment("%NO_SUCH_VARIABLE_QDW%\\x"), "%NO_SUCH_VARIABLE_QDW%\\x");
  EXPECT_EQ(shell.ExpandEnvironment("100% of %USERNAME%"), "100% of jo");
  EXPECT_EQ(shell.ExpandEnvironment("50%"), "50%");
}

TEST(ShellContractTest, OpeningADocumentIsRecordedAndStartsNothing) {
  SimTestMachine machine;
  Shell& shell = machine.platform().shell();
  machine.PutFile("C:\\ProgramData\\BackupFailureLog.txt", "a.pdf\n");
  machine.PutFile("C:\\data.xyz", "?");
  std::unique_ptr<ProcessHandle> process;
  ASSERT_EQ(
      shell.Execute("open", "C:\\ProgramData\\BackupFailureLog.txt", "", kShowMaximized, &process),
      kSuccess);
  EXPECT_EQ(process, nullptr);
  sim::Json opened = machine.machine().store().Read("opened.json");
  ASSERT_EQ(opened["opened"].size(), 1u);
  EXPECT_EQ(opened["opened"][0]["file"], "C:\\ProgramData\\BackupFailureLog.txt");
  EXPECT_EQ(opened["opened"][0]["show"], kShowMaximized);
  EXPECT_EQ(shell.Execute("open", "C:\\missing.txt", "", kShowNormal, nullptr), kErrorFileNotFound);
  EXPECT_EQ(shell.Execute("open", "C:\\data.xyz", "", kShowNormal, nullptr), kErrorFileNotFound);
}

TEST(ShellContractTest, OpeningAMappedProgramStartsIt) {
  SimTestMachine machine(
      sim::Json{{"programs", {{"C:\\Tools\\probe.exe", testing::ProbeProgram()}}}});
  std::unique_ptr<ProcessHandle> process;
  ASSERT_EQ(machine.platform().shell().Execute("open", "C:\\Tools\\probe.exe", "exit 3", kShowHide,
                                               &process),
            kSuccess);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
  uint32_t code = 0;
  EXPECT_EQ(process->ExitCode(&code), kSuccess);
  EXPECT_EQ(code, 3u);
}

TEST(ShellContractTest, MakesEveryMissingFolderUpToTheLastBackslash) {
  SimTestMachine machine;
  Shell& shell = machine.platform().shell();
  FileSystem& files = machine.platform().files();
  ASSERT_TRUE(
      shell.MakeSureDirectoryPathExists("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\"));
  uint32_t attributes = 0;
  EXPECT_EQ(
      files.ReadAttributes("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool", &attributes),
      kSuccess);
  ASSERT_TRUE(shell.MakeSureDirectoryPathExists("C:\\A\\B\\file.txt"));
  EXPECT_EQ(files.ReadAttributes("C:\\A\\B", &attributes), kSuccess);
  EXPECT_EQ(files.ReadAttributes("C:\\A\\B\\file.txt", &attributes), kErrorFileNotFound);
  machine.PutFile("C:\\A\\plain", "x");
  EXPECT_FALSE(shell.MakeSureDirectoryPathExists("C:\\A\\plain\\C\\"));
  EXPECT_FALSE(shell.MakeSureDirectoryPathExists("Q:\\A\\"));
}

}  // namespace
}  // namespace qdw::platform
