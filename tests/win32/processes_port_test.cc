// The real port's own routes to processes: both listing routes finding this program, and a system
// program started through CreateProcess. The contract suites cover the rest of the port.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/windows_path.h"

namespace qdw::platform {
namespace {

std::string ThisProgramName() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  const std::string full(path, length);
  return full.substr(full.rfind('\\') + 1);
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
  EXPECT_EQ(LowerAnsi(name), LowerAnsi(ThisProgramName()));

  std::unique_ptr<ToolHelpApi> tool_help;
  ASSERT_EQ(processes.LoadToolHelpApi(false, &tool_help), kSuccess);
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(tool_help->Snapshot(&entries), kSuccess);
  auto found = std::find_if(entries.begin(), entries.end(),
                            [&](const ProcessEntry& entry) { return entry.pid == self; });
  ASSERT_NE(found, entries.end());
  EXPECT_NE(LowerAnsi(found->exe_file).find(LowerAnsi(ThisProgramName())), std::string::npos);
}

TEST(ProcessesPortTest, StartsASystemProgramAndReadsItsExitCode) {
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

}  // namespace
}  // namespace qdw::platform
