// Mutexes, shell folders, processes, libraries, accounts and system facts of the real machine.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/win32/win32_scratch_folder.h"

namespace qdw::platform {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string ThisProgramName() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  const std::string full(path, length);
  return full.substr(full.rfind('\\') + 1);
}

TEST(MutexesPortTest, SecondCreatorGetsAlreadyExistsAndAHandle) {
  Mutexes& mutexes = DefaultPlatform().mutexes();
  std::unique_ptr<NamedMutex> first;
  std::unique_ptr<NamedMutex> second;
  ASSERT_EQ(mutexes.Create("QdwPortTestMutex", true, &first), kSuccess);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(mutexes.Create("QdwPortTestMutex", false, &second), kErrorAlreadyExists);
  EXPECT_NE(second, nullptr);
  first->Release();
  first.reset();
  second.reset();
  EXPECT_EQ(mutexes.Create("QdwPortTestMutex", false, &first), kSuccess);
}

TEST(ShellPortTest, ReportsTheMachineFoldersAndExpandsVariables) {
  Shell& shell = DefaultPlatform().shell();
  for (int csidl : {kCsidlDesktop, kCsidlPersonal, kCsidlCommonAppData, kCsidlProgramFiles}) {
    std::string path;
    ASSERT_EQ(shell.SpecialFolder(csidl, &path), kSuccess) << csidl;
    EXPECT_EQ(path.substr(1, 2), ":\\") << path;
  }
  std::string windows;
  ASSERT_EQ(shell.WindowsFolder(&windows), kSuccess);
  EXPECT_EQ(Lower(windows), "c:\\windows");
  std::string system;
  ASSERT_EQ(shell.SystemFolder(&system), kSuccess);
  EXPECT_EQ(Lower(system).rfind("c:\\windows\\system32", 0), 0u);
  EXPECT_EQ(Lower(shell.ExpandEnvironment("%SystemRoot%\\x %NoSuchQdwVariable%")),
            "c:\\windows\\x %nosuchqdwvariable%");
}

TEST(ShellPortTest, MakesEveryMissingFolderUpToTheLastBackslash) {
  testing::ScratchFolder scratch;
  Shell& shell = DefaultPlatform().shell();
  ASSERT_TRUE(shell.MakeSureDirectoryPathExists(scratch.Path("a\\b\\c\\file.txt")));
  EXPECT_NE(GetFileAttributesA(scratch.Path("a\\b\\c").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(scratch.Path("a\\b\\c\\file.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ProcessesPortTest, BothListingRoutesFindThisProgram) {
  Processes& processes = DefaultPlatform().processes();
  const uint32_t self = processes.CurrentProcessId();
  EXPECT_EQ(self, GetCurrentProcessId());

  std::unique_ptr<ProcessStatusApi> status;
  ASSERT_EQ(processes.LoadProcessStatusApi(&status), kSuccess);
  std::vector<uint32_t> ids;
  uint32_t bytes = 0;
  ASSERT_EQ(status->EnumProcesses(4096, &ids, &bytes), kSuccess);
  EXPECT_NE(std::find(ids.begin(), ids.end(), self), ids.end());
  std::string name;
  ASSERT_EQ(status->FirstModuleBaseName(self, &name), kSuccess);
  EXPECT_EQ(Lower(name), Lower(ThisProgramName()));

  std::unique_ptr<ToolHelpApi> tool_help;
  ASSERT_EQ(processes.LoadToolHelpApi(false, &tool_help), kSuccess);
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(tool_help->Snapshot(&entries), kSuccess);
  auto found = std::find_if(entries.begin(), entries.end(),
                            [&](const ProcessEntry& entry) { return entry.pid == self; });
  ASSERT_NE(found, entries.end());
  EXPECT_NE(Lower(found->exe_file).find(Lower(ThisProgramName())), std::string::npos);
}

TEST(ProcessesPortTest, StartsAProgramWithItsArgumentsAndWaits) {
  std::string system;
  ASSERT_EQ(DefaultPlatform().shell().SystemFolder(&system), kSuccess);
  std::unique_ptr<ProcessHandle> process;
  ASSERT_EQ(DefaultPlatform().processes().Start(system + "\\cmd.exe", "/c exit 7", true, &process),
            kSuccess);
  EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
  uint32_t code = 0;
  ASSERT_EQ(process->ExitCode(&code), kSuccess);
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(
      DefaultPlatform().processes().Start(system + "\\no_such_program.exe", "", true, &process),
      kErrorFileNotFound);
}

TEST(LibrariesPortTest, LoadsAModuleByNameIgnoringCaseAndFindsItsEntries) {
  std::unique_ptr<Library> library;
  ASSERT_EQ(DefaultPlatform().libraries().Load("KERNEL32", &library), kSuccess);
  EXPECT_NE(library->Symbol("GetTickCount"), nullptr);
  EXPECT_EQ(library->Symbol("NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(DefaultPlatform().libraries().Load("no_such_module_qdw", &library), kErrorModNotFound);
}

TEST(AccountsPortTest, TheProcessUserAndTheWorldGroupResolveBothWays) {
  Accounts& accounts = DefaultPlatform().accounts();
  Sid user;
  ASSERT_EQ(accounts.ProcessUser(&user), kSuccess);
  EXPECT_TRUE(user.IsValid());
  std::string name;
  std::string domain;
  ASSERT_EQ(accounts.LookupSid("", user, &name, &domain), kSuccess);
  EXPECT_FALSE(name.empty());

  Sid world;
  ASSERT_EQ(accounts.LookupName("", "Everyone", &world, &domain), kSuccess);
  EXPECT_EQ(world, Sid::World());
  ASSERT_EQ(accounts.LookupName("", "everyone", &world, &domain), kSuccess);
  EXPECT_EQ(world, Sid::World());
  EXPECT_EQ(accounts.LookupName("", "NoSuchQdwAccount", &world, &domain), kErrorNoneMapped);
}

TEST(SystemInfoPortTest, ReportsVersionNamesClockAndEnvironment) {
  SystemInfo& system = DefaultPlatform().system();
  const OsVersion version = system.Version();
  EXPECT_EQ(version.platform_id, kPlatformNt);
  EXPECT_GE(version.major, 5u);
  std::string name;
  ASSERT_EQ(system.ComputerName(&name), kSuccess);
  EXPECT_FALSE(name.empty());
  ASSERT_EQ(system.UserName(&name), kSuccess);
  EXPECT_FALSE(name.empty());
  const FileTime now = system.Now();
  EXPECT_EQ(system.LocalToUtc(system.UtcToLocal(now)), now);
  SetEnvironmentVariableA("QDW_PORT_TEST", "value");
  std::string value;
  ASSERT_TRUE(system.Environment("QDW_PORT_TEST", &value));
  EXPECT_EQ(value, "value");
  EXPECT_FALSE(system.Environment("QDW_PORT_TEST_MISSING", &value));
}

}  // namespace
}  // namespace qdw::platform
