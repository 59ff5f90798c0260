// The program `Backup` killed (SIGKILL, its whole process group: a power loss or a forced end)
// at random instants of a restore and of a backup that replaces an earlier set, then started
// again: the start-up check puts the machine back as it was before the run, or finishes what
// a run that was kept left to clean up. QDW_KILL_SWEEP_RUNS kills per operation (seeded by
// QDW_SWEEP_SEED); scripts/fault-sweep.sh runs more.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "app/headless/transcript.h"
#include "tests/app/app_test_support.h"
#include "tests/app/run_sweep_support.h"

namespace qdw::testing {
namespace {

constexpr uint32_t kDefaultKills = 3;
constexpr int kSuccessText = 138;

std::string Outcome() {
  return "expect text 1033 " + headless::OneLine(ModuleText(kSuccessText)) + "\nclose\n";
}

std::string RestoreScript() {
  return std::string("expect dialog 102\nclick 1001\nclick 1\nexpect dialog 105\ntype 1009 ") +
         kSweepArchive + "\nclick 1\nanswer yes\n" + Outcome();
}

std::string BackupScript() {
  return std::string("expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 ") +
         kSweepDestination + "\ntype 1013 Full\nclick 1\n";
}

// A power loss leaves nothing of the run: the next start must not meet one of its processes
// still on the way out (a child between fork and exec shares the program's lock on its
// single-instance mutex). The group's orphans come to this process (a subreaper), which waits
// for them all.
void ReapGroup(pid_t group) {
  int status = 0;
  while (::waitpid(-group, &status, 0) > 0) {
  }
}

// Starts Backup on the machine in `folder` in a process group of its own and, after
// `kill_after_ms` (negative: never), kills the group. Returns how long it ran, in ms.
long RunProgram(const std::string& folder, const std::string& script, long kill_after_ms) {
  const std::string script_path = folder + ".script";
  std::ofstream(script_path, std::ios::trunc) << script;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::setpgid(0, 0);
    ::setenv("QDW_MACHINE", folder.c_str(), 1);
    ::setenv("QDW_UI_SCRIPT", script_path.c_str(), 1);
    ::setenv("QDW_UI_TRANSCRIPT", (folder + ".transcript").c_str(), 1);
    ::execl(QDW_TEST_BACKUP_PROGRAM, QDW_TEST_BACKUP_PROGRAM, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::setpgid(child, child);
  int status = 0;
  if (kill_after_ms >= 0) {
    const auto deadline = start + std::chrono::milliseconds(kill_after_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      if (::waitpid(child, &status, WNOHANG) == child) {
        ::kill(-child, SIGKILL);  // whatever it started is ended too
        ReapGroup(child);
        return kill_after_ms;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(-child, SIGKILL);
  }
  ::waitpid(child, &status, 0);
  if (kill_after_ms >= 0) ReapGroup(child);
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count());
}

// Starts the program again and leaves at the first dialog, after a message of what the
// start-up check put back, if it shows one.
void StartAgain(const std::string& folder) { RunProgram(folder, "close\nclose\n", -1); }

class KillSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    base_ = folder_.Machine("base");
    InitMachine(base_, 9);
    RunProgram(base_, BackupScript() + Outcome(), -1);
    // Each start opens the tool's data folder to everybody, once the backup has made it: every
    // later start finds it so.
    StartAgain(base_);
    ASSERT_TRUE(std::filesystem::exists(base_ + "/drives/D/Backups/Full.qdw"));
    ChangeInstallation(base_);
  }

  // Kills `script` at random instants of a clean run's duration; each outcome must be the
  // state before the run or the one `after` describes.
  void Sweep(const std::string& script, const std::vector<std::string>& after_excluded) {
    const sim::MachineSnapshot before = Snapshot(base_);
    const std::string clean = folder_.Machine("clean");
    CopyMachine(base_, clean);
    const long duration = RunProgram(clean, script, -1);
    StartAgain(clean);
    const sim::MachineSnapshot after = Snapshot(clean, false, after_excluded);
    ASSERT_NE(sim::DescribeDifferences(before, Snapshot(clean)), "");

    const uint32_t kills = EnvironmentNumber("QDW_KILL_SWEEP_RUNS", kDefaultKills);
    std::mt19937 random(EnvironmentNumber("QDW_SWEEP_SEED", 1));
    std::uniform_int_distribution<long> instant(0, duration);
    const std::string run = folder_.Machine("run");
    int as_before = 0;
    int as_after = 0;
    for (uint32_t i = 0; i < kills; ++i) {
      const long at = instant(random);
      CopyMachine(base_, run);
      RunProgram(run, script, at);
      StartAgain(run);
      const std::string from_before = sim::DescribeDifferences(before, Snapshot(run));
      if (from_before.empty()) {
        ++as_before;
        continue;
      }
      const std::string from_after =
          sim::DescribeDifferences(after, Snapshot(run, false, after_excluded));
      if (from_after.empty()) {
        ++as_after;
        continue;
      }
      ADD_FAILURE() << "killed after " << at << " of " << duration
                    << " ms: neither as before nor as after. From before:\n"
                    << from_before << "From after:\n"
                    << from_after;
    }
    std::cout << "kills " << kills << " (run of " << duration << " ms): " << as_before
              << " as before, " << as_after << " as after" << std::endl;
  }

  SweepFolder folder_;
  std::string base_;
};

TEST_F(KillSweep, KilledRestoreIsUndoneOrFinishedAtTheNextStart) { Sweep(RestoreScript(), {}); }

TEST_F(KillSweep, KilledBackupIsUndoneOrFinishedAtTheNextStart) {
  Sweep(BackupScript() + "answer yes\n" + Outcome(), {kSweepArchive});
}

}  // namespace
}  // namespace qdw::testing
