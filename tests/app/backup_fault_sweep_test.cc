// A backup that replaces an earlier set of its name, with one port call failing (the 1st,
// 2nd, ... call of each operation, and a sample of later ones). Once the start-up check has
// run, the machine is as it was before the backup (the earlier set and failure list there,
// no work folder, nothing left in the temporary folder) or as a clean backup leaves it.
//
// Sized by QDW_SWEEP_BOUND, QDW_SWEEP_SAMPLES and QDW_SWEEP_SEED; scripts/fault-sweep.sh.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/app/run_sweep_support.h"

namespace qdw::testing {
namespace {

class BackupFaultSweep : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new SweepFolder();
    const std::string base = folder_->Machine("base");
    InitMachine(base, 7);
    const RunResult first = RunBackup(base);
    ASSERT_TRUE(first.succeeded) << first.outcome;
    ChangeInstallation(base);
    expect_ = new SweepExpectations();
    expect_->run = RunBackup;
    expect_->before = Snapshot(base);
    // The new set's bytes carry the times of its run; it is checked to be there and new.
    expect_->after_excluded = {kSweepArchive};
    const sim::MachineSnapshot old_set = Snapshot(base, true);
    expect_->check_after = [old_set](const std::string& folder) {
      const std::string difference = sim::DescribeDifferences(old_set, Snapshot(folder));
      return difference.find("~ file D:\\BACKUPS\\FULL.QDW") == std::string::npos
                 ? "the earlier set was not replaced"
                 : "";
    };

    const std::string clean = folder_->Machine("clean");
    CopyMachine(base, clean);
    CountCalls(clean, SweptOperations());
    const RunResult backup = RunBackup(clean);
    ASSERT_TRUE(backup.succeeded) << backup.outcome;
    counts_ = new std::map<std::string, uint64_t>(CountedCalls(clean));
    ClearFaults(clean);
    Recover(clean);
    expect_->after = Snapshot(clean, /*write_times=*/false, expect_->after_excluded);
    ASSERT_EQ(expect_->check_after(clean), "");
  }
  static void TearDownTestSuite() {
    delete expect_;
    delete counts_;
    delete folder_;
  }

  void Sweep(const char* prefix, const char* other_prefix = nullptr) {
    ASSERT_NE(counts_, nullptr);
    SweepFaults(
        folder_->Machine("base"), folder_->Machine("run"), *counts_,
        [&](const std::string& op) {
          return op.rfind(prefix, 0) == 0 ||
                 (other_prefix != nullptr && op.rfind(other_prefix, 0) == 0);
        },
        *expect_);
  }

  static SweepFolder* folder_;
  static SweepExpectations* expect_;
  static std::map<std::string, uint64_t>* counts_;
};

SweepFolder* BackupFaultSweep::folder_ = nullptr;
SweepExpectations* BackupFaultSweep::expect_ = nullptr;
std::map<std::string, uint64_t>* BackupFaultSweep::counts_ = nullptr;

TEST_F(BackupFaultSweep, FileSystemCalls) { Sweep("FileSystem."); }
TEST_F(BackupFaultSweep, FileCalls) { Sweep("File."); }
TEST_F(BackupFaultSweep, RegistrySharesDatabaseAndShellCalls) {
  Sweep("Registry.", "Shares.");
  Sweep("Database.", "Shell.");
}

}  // namespace
}  // namespace qdw::testing
