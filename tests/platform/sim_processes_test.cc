// The stand-in machine's running programs: the listing routes of each Windows family, faults,
// and the machine its programs run on.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "platform/processes.h"
#include "tests/platform/sim_probe.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

sim::Json MachineWithProcesses(int platform_id, int major) {
  return sim::Json{{"os_version", {{"platform_id", platform_id}, {"major", major}}},
                   {"programs", {{"C:\\Tools\\probe.exe", testing::ProbeProgram()}}}};
}

void WriteProcesses(SimTestMachine& machine) {
  machine.machine().store().Write(
      "processes.json",
      {{"processes",
        {{{"pid", 4}, {"name", "System"}},
         {{"pid", 1200}, {"name", "QDW.EXE"}, {"path", "C:\\Program Files\\QDW\\QDW.EXE"}},
         {{"pid", 1300}, {"name", "secret.exe"}, {"access_denied", true}},
         {{"pid", 1400},
          {"name", "NTVDM.EXE"},
          {"tasks",
           {{{"task", 7}, {"file", "C:\\OLD\\A.EXE"}},
            {{"task", 9}, {"file", "C:\\OLD\\B.EXE"}}}}}}}});
}

TEST(SimProcessesTest, NtFourListsThroughTheProcessStatusRouteOnly) {
  SimTestMachine machine(MachineWithProcesses(kPlatformNt, 4));
  WriteProcesses(machine);
  Processes& processes = machine.platform().processes();
  std::unique_ptr<ToolHelpApi> tool_help;
  EXPECT_EQ(processes.LoadToolHelpApi(true, &tool_help), kErrorProcNotFound);
  std::unique_ptr<ProcessStatusApi> api;
  ASSERT_EQ(processes.LoadProcessStatusApi(&api), kSuccess);

  std::vector<uint32_t> ids;
  uint32_t bytes = 0;
  ASSERT_EQ(api->EnumProcesses(8, &ids, &bytes), kSuccess);
  EXPECT_EQ(bytes, 8u);  // a full buffer: the caller must grow it
  ASSERT_EQ(api->EnumProcesses(1024, &ids, &bytes), kSuccess);
  EXPECT_EQ(ids, (std::vector<uint32_t>{4, 1200, 1300, 1400}));
  EXPECT_EQ(bytes, 16u);

  std::string name;
  EXPECT_EQ(api->FirstModuleBaseName(1200, &name), kSuccess);
  EXPECT_EQ(name, "QDW.EXE");
  EXPECT_EQ(api->FirstModuleBaseName(1300, &name), kErrorAccessDenied);
  std::vector<std::string> tasks;
  ASSERT_EQ(api->EnumWowTasks(1400,
                              [&](uint16_t task, const std::string& file) {
                                tasks.push_back(std::to_string(task) + " " + file);
                                return false;  // stops after the first
                              }),
            kSuccess);
  EXPECT_EQ(tasks, std::vector<std::string>{"7 C:\\OLD\\A.EXE"});
}

TEST(SimProcessesTest, NineXListsFullPathsThroughToolHelpWithoutVdm) {
  SimTestMachine machine(MachineWithProcesses(kPlatformWindows, 4));
  WriteProcesses(machine);
  Processes& processes = machine.platform().processes();
  std::unique_ptr<ProcessStatusApi> api;
  EXPECT_EQ(processes.LoadProcessStatusApi(&api), kErrorModNotFound);
  std::unique_ptr<ToolHelpApi> tool_help;
  EXPECT_EQ(processes.LoadToolHelpApi(true, &tool_help), kErrorModNotFound);
  ASSERT_EQ(processes.LoadToolHelpApi(false, &tool_help), kSuccess);
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(tool_help->Snapshot(&entries), kSuccess);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[1].exe_file, "C:\\Program Files\\QDW\\QDW.EXE");
  EXPECT_EQ(tool_help->EnumWowTasks(1400, [](uint16_t, const std::string&) { return true; }),
            kErrorProcNotFound);
}

TEST(SimProcessesTest, NtSixHasBothRoutesAndFaultsTakeEntriesAway) {
  SimTestMachine machine(MachineWithProcesses(kPlatformNt, 6));
  WriteProcesses(machine);
  Processes& processes = machine.platform().processes();
  std::unique_ptr<ToolHelpApi> tool_help;
  ASSERT_EQ(processes.LoadToolHelpApi(true, &tool_help), kSuccess);
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(tool_help->Snapshot(&entries), kSuccess);
  EXPECT_EQ(entries[1].exe_file, "QDW.EXE");
  int tasks = 0;
  EXPECT_EQ(tool_help->EnumWowTasks(1400, [&](uint16_t, const std::string&) { return ++tasks; }),
            kSuccess);
  EXPECT_EQ(tasks, 2);

  auto& faults = machine.machine().faults();
  faults.AddRule("Processes.Snapshot", 1, kErrorNotEnoughMemory);
  EXPECT_EQ(tool_help->Snapshot(&entries), kErrorNotEnoughMemory);
  faults.AddRule("Libraries.Symbol", 1, kErrorProcNotFound, "PSAPI.DLL!GetModuleBaseNameA");
  std::unique_ptr<ProcessStatusApi> api;
  EXPECT_EQ(processes.LoadProcessStatusApi(&api), kErrorProcNotFound);
  faults.AddRule("Libraries.Load", 1, kErrorModNotFound, "VDMDBG.DLL");
  EXPECT_EQ(processes.LoadToolHelpApi(true, &tool_help), kErrorModNotFound);
}

TEST(SimProcessesTest, ProgramsItStartsRunOnTheSameMachine) {
  SimTestMachine machine(MachineWithProcesses(kPlatformNt, 6));
  std::unique_ptr<ProcessHandle> process;
  const std::string out = machine.folder() + "/args.txt";
  ASSERT_EQ(machine.platform().processes().Start("C:\\Tools\\probe.exe", "args " + out + " x", true,
                                                 &process),
            kSuccess);
  EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
  std::ifstream in(out);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "x\nQDW_MACHINE=" + machine.folder() + "\n");
}

}  // namespace
}  // namespace qdw::platform
