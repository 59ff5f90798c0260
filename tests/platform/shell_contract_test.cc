// Special folders, environment expansion, "open" and folder paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/windows_path.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

class ShellContractTest : public ::testing::Test {
 protected:
  Shell& shell() { return port_->platform().shell(); }
  bool IsFolder(const std::string& path) {
    uint32_t attributes = 0;
    return port_->platform().files().ReadAttributes(path, &attributes) == kSuccess &&
           (attributes & kAttrDirectory) != 0;
  }
  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
};

TEST_F(ShellContractTest, ReportsTheMachineFolders) {
  std::string path;
  for (int csidl : {kCsidlPersonal, kCsidlCommonAppData, kCsidlProgramFiles}) {
    ASSERT_EQ(shell().SpecialFolder(csidl, &path), kSuccess) << csidl;
    EXPECT_EQ(path.substr(1, 2), ":\\") << path;
  }
  std::string windows;
  ASSERT_EQ(shell().WindowsFolder(&windows), kSuccess);
  EXPECT_EQ(windows.substr(1, 2), ":\\") << windows;
  std::string system;
  ASSERT_EQ(shell().SystemFolder(&system), kSuccess);
  EXPECT_TRUE(StartsWithIgnoreCase(system, windows + "\\")) << system;
}

TEST_F(ShellContractTest, ExpandsKnownVariablesAndLeavesOthersAsWritten) {
  std::string program_files;
  ASSERT_TRUE(port_->platform().system().Environment("ProgramFiles", &program_files));
  EXPECT_EQ(shell().ExpandEnvironment("%ProgramFiles%\\VARNOLD"), program_files + "\\VARNOLD");
  EXPECT_EQ(shell().ExpandEnvironment("%programfiles%"), program_files);
  EXPECT_EQ(shell().ExpandEnvironment("%NO_SUCH_VARIABLE_QDW%\\x"), "%NO_SUCH_VARIABLE_QDW%\\x");
  EXPECT_EQ(shell().ExpandEnvironment("50%"), "50%");
}

TEST_F(ShellContractTest, AVariableAfterAStrayPercentSignIsStillExpanded) {
  QDW_SKIP_IF_LACKING(*port_, testing::Capability::kStrayPercentExpansion);
  std::string user;
  ASSERT_TRUE(port_->platform().system().Environment("USERNAME", &user));
  EXPECT_EQ(shell().ExpandEnvironment("100% of %USERNAME%"), "100% of " + user);
}

TEST_F(ShellContractTest, OpeningAMissingFileFails) {
  EXPECT_EQ(shell().Execute("open", port_->Scratch("missing.txt"), "", kShowNormal, nullptr),
            kErrorFileNotFound);
}

TEST_F(ShellContractTest, OpeningAFileNoProgramIsRegisteredForFailsAsMissing) {
  QDW_SKIP_IF_LACKING(*port_, testing::Capability::kNoAssociationError);
  port_->PutFile(port_->Scratch("data.qdwnoassoc"), "?");
  EXPECT_EQ(shell().Execute("open", port_->Scratch("data.qdwnoassoc"), "", kShowNormal, nullptr),
            kErrorFileNotFound);
}

TEST_F(ShellContractTest, OpeningAProgramStartsIt) {
  std::unique_ptr<ProcessHandle> process;
  ASSERT_EQ(shell().Execute("open", port_->ProbeProgram(), "exit 3", kShowHide, &process),
            kSuccess);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
  uint32_t code = 0;
  EXPECT_EQ(process->ExitCode(&code), kSuccess);
  EXPECT_EQ(code, 3u);
}

TEST_F(ShellContractTest, MakesEveryMissingFolderUpToTheLastBackslash) {
  FileSystem& files = port_->platform().files();
  ASSERT_TRUE(shell().MakeSureDirectoryPathExists(
      port_->Scratch("VARNOLD\\Quillon Deskora Backup Tool\\")));
  EXPECT_TRUE(IsFolder(port_->Scratch("VARNOLD\\Quillon Deskora Backup Tool")));
  ASSERT_TRUE(shell().MakeSureDirectoryPathExists(port_->Scratch("A\\B\\file.txt")));
  EXPECT_TRUE(IsFolder(port_->Scratch("A\\B")));
  uint32_t attributes = 0;
  EXPECT_EQ(files.ReadAttributes(port_->Scratch("A\\B\\file.txt"), &attributes),
            kErrorFileNotFound);
  port_->PutFile(port_->Scratch("A\\plain"), "x");
  EXPECT_FALSE(shell().MakeSureDirectoryPathExists(port_->Scratch("A\\plain\\C\\")));
  for (char letter = 'Q'; letter <= 'Y'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (files.DriveKind(root) != kDriveNoRootDir) continue;
    EXPECT_FALSE(shell().MakeSureDirectoryPathExists(root + "A\\"));
    break;
  }
}

}  // namespace
}  // namespace qdw::platform
