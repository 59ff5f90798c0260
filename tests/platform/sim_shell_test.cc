// The stand-in machine's shell: the folders of its description, and documents it records as
// opened instead of starting a viewer.
#include <gtest/gtest.h>

#include <memory>

#include "platform/shell.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

TEST(SimShellTest, ReportsTheFoldersOfTheDescription) {
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
  EXPECT_EQ(shell.ExpandEnvironment("%programfiles%"), "C:\\Program Files");
}

TEST(SimShellTest, OpeningADocumentIsRecordedAndStartsNothing) {
  SimTestMachine machine;
  Shell& shell = machine.platform().shell();
  machine.PutFile("C:\\ProgramData\\BackupFailureLog.txt", "a.pdf\n");
  std::unique_ptr<ProcessHandle> process;
  ASSERT_EQ(
      shell.Execute("open", "C:\\ProgramData\\BackupFailureLog.txt", "", kShowMaximized, &process),
      kSuccess);
  EXPECT_EQ(process, nullptr);
  sim::Json opened = machine.machine().store().Read("opened.json");
  ASSERT_EQ(opened["opened"].size(), 1u);
  EXPECT_EQ(opened["opened"][0]["file"], "C:\\ProgramData\\BackupFailureLog.txt");
  EXPECT_EQ(opened["opened"][0]["show"], kShowMaximized);
}

}  // namespace
}  // namespace qdw::platform
