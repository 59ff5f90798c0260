#include "system/program_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/process_walker.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::system {
namespace {

constexpr char kDataFolder[] = "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\";

sim::Json Version(uint32_t platform_id, uint32_t major, uint32_t minor) {
  return sim::Json{
      {"os_version", {{"platform_id", platform_id}, {"major", major}, {"minor", minor}}}};
}

sim::Json Process(uint32_t pid, const std::string& path) {
  return {{"pid", pid}, {"name", path.substr(path.rfind('\\') + 1)}, {"path", path}};
}

class ProgramChecksTest : public ::testing::Test {
 protected:
  explicit ProgramChecksTest(const sim::Json& patch = sim::Json::object()) : machine_(patch) {}

  void Run(const std::vector<sim::Json>& processes) {
    machine_.machine().store().Write("processes.json", {{"processes", processes}});
  }
  bool MainRunning() {
    bool running = true;
    EXPECT_TRUE(ProgramChecks(machine_.platform()).CheckMainProgram(&running));
    return running;
  }
  bool ShareRunning() {
    bool running = true;
    EXPECT_TRUE(ProgramChecks(machine_.platform()).CheckShareProgram(&running));
    return running;
  }
  bool MarkerExists(const std::string& name) {
    return machine_.Exists(std::string(kDataFolder) + name);
  }
  const sim::FaultInjector& faults() { return machine_.machine().faults(); }

  testing::SimTestMachine machine_;
};

TEST_F(ProgramChecksTest, NothingRunningAndTheDataFolderIsMade) {
  Run({Process(4, "C:\\Windows\\explorer.exe")});
  EXPECT_FALSE(MainRunning());
  EXPECT_FALSE(ShareRunning());
  uint32_t attributes = 0;
  ASSERT_EQ(machine_.platform().files().ReadAttributes(kDataFolder, &attributes),
            platform::kSuccess);
  EXPECT_NE(attributes & platform::kAttrDirectory, 0u);
}

TEST_F(ProgramChecksTest, NameThatContainsTheProgramCountsWhateverItsCase) {
  Run({Process(7, "C:\\Tools\\xqdw.exe")});
  EXPECT_TRUE(MainRunning());
  EXPECT_FALSE(MarkerExists(kMainProgramMarker));
  EXPECT_FALSE(MarkerExists(kSharedFolderProgramMarker));
  EXPECT_FALSE(ShareRunning());
  EXPECT_TRUE(MarkerExists(kMainProgramMarker)) << "left for the main program's own check";
}

TEST_F(ProgramChecksTest, EachCheckReportsOnlyItsOwnProgram) {
  Run({Process(8, "C:\\QDW\\QDW.EXE"), Process(9, "C:\\QDW\\QDWShare.exe"),
       Process(10, "C:\\QDW\\VNQLNSharedFolder.exe")});
  EXPECT_TRUE(MainRunning());
  // The share program's marker waits for its own check, which removes it at its start.
  EXPECT_TRUE(MarkerExists(kShareProgramMarker));
  EXPECT_EQ(machine_.ReadFile(std::string(kDataFolder) + kShareProgramMarker), "1");
  Run({Process(8, "C:\\QDW\\QDW.EXE")});
  EXPECT_FALSE(ShareRunning());
  EXPECT_FALSE(MarkerExists(kShareProgramMarker));
  EXPECT_TRUE(MarkerExists(kMainProgramMarker)) << "the main program's marker stays for its check";
  EXPECT_TRUE(MainRunning());
  EXPECT_FALSE(MarkerExists(kMainProgramMarker));
}

TEST_F(ProgramChecksTest, MarkerContentIsOneOrTheProcessId) {
  Run({Process(8, "C:\\QDW\\QDW.EXE"), Process(4242, "C:\\QDW\\VNQLNSHAREDFOLDER.EXE")});
  // Keep the markers that the end of the check would remove.
  faults().AddRule("FileSystem.Delete", 3, platform::kErrorAccessDenied, "*\\Backup*.txt", 2);
  EXPECT_TRUE(MainRunning());
  faults().Clear();
  EXPECT_EQ(machine_.ReadFile(std::string(kDataFolder) + kMainProgramMarker), "1");
  EXPECT_EQ(machine_.ReadFile(std::string(kDataFolder) + kSharedFolderProgramMarker), "4242");
}

TEST_F(ProgramChecksTest, StaleMarkerIsNotTakenForARunningProgram) {
  machine_.PutFile(std::string(kDataFolder) + kMainProgramMarker, "1");
  Run({});
  EXPECT_FALSE(MainRunning());
  machine_.PutFile(std::string(kDataFolder) + kMainProgramMarker, "1");
  faults().AddRule("FileSystem.Delete", 1, platform::kErrorAccessDenied);
  bool running = true;
  EXPECT_FALSE(ProgramChecks(machine_.platform()).CheckMainProgram(&running))
      << "a marker that cannot be removed makes the check fail";
  EXPECT_FALSE(running);
}

TEST_F(ProgramChecksTest, FailuresOfTheCheckItself) {
  Run({Process(8, "C:\\QDW\\QDW.EXE")});
  bool running = true;
  faults().AddRule("FileSystem.Open", 1, platform::kErrorDiskFull, "*BackupEnumProcess.txt");
  EXPECT_FALSE(ProgramChecks(machine_.platform()).CheckMainProgram(&running));
  EXPECT_FALSE(running);
  faults().Clear();
  // A walk that cannot run is not a failure: the program counts as not running.
  for (const char* operation : {"Processes.Snapshot", "Libraries.Load"}) {
    faults().AddRule(operation, 1, platform::kErrorModNotFound, "", 0);
    EXPECT_FALSE(MainRunning()) << operation;
    faults().Clear();
  }
  faults().AddRule("Libraries.Symbol", 1, platform::kErrorProcNotFound,
                   "Kernel32.DLL!Process32Next");
  EXPECT_FALSE(MainRunning());
}

class Nt4ProgramChecksTest : public ProgramChecksTest {
 protected:
  Nt4ProgramChecksTest() : ProgramChecksTest(Version(platform::kPlatformNt, 4, 0)) {}
};

TEST_F(Nt4ProgramChecksTest, ModuleListAndSixteenBitTasksAreWalked) {
  sim::Json ntvdm = Process(30, "C:\\WINNT\\system32\\ntvdm.exe");
  ntvdm["tasks"] = {{{"task", 1}, {"file", "C:\\WINNT\\system32\\WOWEXEC.EXE"}},
                    {{"task", 2}, {"file", "C:\\OLD\\QDWSHARE.EXE"}}};
  Run({Process(2, "C:\\WINNT\\system32\\smss.exe"), ntvdm});
  EXPECT_TRUE(ShareRunning());
  EXPECT_FALSE(MainRunning());
  faults().AddRule("Libraries.Symbol", 1, platform::kErrorProcNotFound,
                   "VDMDBG.DLL!VDMEnumTaskWOWEx");
  EXPECT_FALSE(ShareRunning()) << "without the task entry nothing is walked";
}

TEST_F(Nt4ProgramChecksTest, ProcessThatCannotBeOpenedHasNoName) {
  sim::Json hidden = Process(8, "C:\\QDW\\QDW.EXE");
  hidden["access_denied"] = true;
  Run({hidden});
  EXPECT_FALSE(MainRunning());
}

TEST_F(Nt4ProgramChecksTest, LongProcessListsAreReadCompletely) {
  std::vector<sim::Json> processes;
  for (uint32_t pid = 100; pid < 400; ++pid) {  // more than the first 1024-byte buffer holds
    processes.push_back(Process(pid, "C:\\WINNT\\p" + std::to_string(pid) + ".exe"));
  }
  processes.push_back(Process(5000, "C:\\QDW\\QDW.EXE"));
  Run(processes);
  std::vector<uint32_t> seen;
  EXPECT_TRUE(
      EnumerateProcesses(machine_.platform(), [&](uint32_t pid, uint16_t, const std::string&) {
        seen.push_back(pid);
        return true;
      }));
  EXPECT_EQ(seen.size(), 301u);
  EXPECT_TRUE(MainRunning());
}

TEST(ProcessWalkerTest, VisitorEndsTheWalkAlsoInsideTasks) {
  testing::SimTestMachine machine(Version(platform::kPlatformNt, 5, 1));
  sim::Json ntvdm = Process(30, "C:\\WINDOWS\\system32\\NTVDM.EXE");
  ntvdm["tasks"] = {{{"task", 1}, {"file", "A.EXE"}}, {{"task", 2}, {"file", "B.EXE"}}};
  machine.machine().store().Write("processes.json",
                                  {{"processes", {ntvdm, Process(31, "C:\\WINDOWS\\after.exe")}}});
  std::vector<std::string> seen;
  EXPECT_TRUE(
      EnumerateProcesses(machine.platform(), [&](uint32_t, uint16_t task, const std::string& name) {
        seen.push_back(std::to_string(task) + ":" + name);
        return name != "A.EXE";
      }));
  EXPECT_EQ(seen, (std::vector<std::string>{"0:NTVDM.EXE", "1:A.EXE"}));
}

TEST(ProcessWalkerTest, FamiliesWithoutAWalk) {
  for (const sim::Json& patch :
       {Version(platform::kPlatformWin32s, 3, 10), Version(platform::kPlatformNt, 3, 51)}) {
    testing::SimTestMachine machine(patch);
    machine.machine().store().Write("processes.json",
                                    {{"processes", {Process(8, "C:\\QDW\\QDW.EXE")}}});
    EXPECT_FALSE(EnumerateProcesses(machine.platform(),
                                    [](uint32_t, uint16_t, const std::string&) { return true; }));
    bool running = true;
    EXPECT_TRUE(ProgramChecks(machine.platform()).CheckMainProgram(&running));
    EXPECT_FALSE(running);
  }
}

TEST(ProgramChecksWithoutDataFolderTest, CheckFailsWithoutTheCommonDataFolder) {
  testing::SimTestMachine machine(sim::Json{{"special_folders", {{"common_appdata", nullptr}}}});
  bool running = true;
  EXPECT_FALSE(ProgramChecks(machine.platform()).CheckMainProgram(&running));
  EXPECT_FALSE(running);
}

TEST(ProcessWalkerTest, NineXReportsFullPaths) {
  testing::SimTestMachine machine(Version(platform::kPlatformWindows, 4, 10));
  machine.machine().store().Write("processes.json",
                                  {{"processes", {Process(8, "C:\\PROGRA~1\\VARNOLD\\qdw.exe")}}});
  bool running = false;
  EXPECT_TRUE(ProgramChecks(machine.platform()).CheckMainProgram(&running));
  EXPECT_TRUE(running);
}

}  // namespace
}  // namespace qdw::system
