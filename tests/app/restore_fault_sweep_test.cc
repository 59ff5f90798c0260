// A restore over an installation that moved on since its archive was made, with one port call
// failing: the 1st, 2nd, ... call of each operation the restore makes, and a sample of the
// later ones. Whatever fails, once the start-up check has run the machine is as it was before
// the restore (a failed restore) or as a clean restore leaves it (one that went through).
//
// QDW_SWEEP_BOUND (calls of each operation failed one by one), QDW_SWEEP_SAMPLES (later calls
// drawn at random) and QDW_SWEEP_SEED size the sweep; scripts/fault-sweep.sh runs it whole.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "tests/app/run_sweep_support.h"

namespace qdw::testing {
namespace {

class RestoreFaultSweep : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new SweepFolder();
    const std::string base = folder_->Machine("base");
    InitMachine(base, 5);
    const RunResult backup = RunBackup(base);
    ASSERT_TRUE(backup.succeeded) << backup.outcome;
    ChangeInstallation(base);
    expect_ = new SweepExpectations();
    expect_->run = RunRestore;
    expect_->before = Snapshot(base);

    const std::string clean = folder_->Machine("clean");
    CopyMachine(base, clean);
    CountCalls(clean, SweptOperations());
    const RunResult restore = RunRestore(clean);
    ASSERT_TRUE(restore.succeeded) << restore.outcome;
    counts_ = new std::map<std::string, uint64_t>(CountedCalls(clean));
    ClearFaults(clean);
    Recover(clean);
    expect_->after = Snapshot(clean, /*write_times=*/false);
    ASSERT_NE(sim::DescribeDifferences(expect_->before, Snapshot(clean)), "");
  }
  static void TearDownTestSuite() {
    delete expect_;
    delete counts_;
    delete folder_;
  }

  void Sweep(const char* prefix, const char* other_prefix = nullptr) {
    SweepWhere([&](const std::string& op) {
      return op.rfind(prefix, 0) == 0 ||
             (other_prefix != nullptr && op.rfind(other_prefix, 0) == 0);
    });
  }
  void SweepWhere(const std::function<bool(const std::string&)>& pick) {
    ASSERT_NE(counts_, nullptr);
    SweepFaults(folder_->Machine("base"), folder_->Machine("run"), *counts_, pick, *expect_);
  }

  static SweepFolder* folder_;
  static SweepExpectations* expect_;
  static std::map<std::string, uint64_t>* counts_;
};

SweepFolder* RestoreFaultSweep::folder_ = nullptr;
SweepExpectations* RestoreFaultSweep::expect_ = nullptr;
std::map<std::string, uint64_t>* RestoreFaultSweep::counts_ = nullptr;

TEST_F(RestoreFaultSweep, FileSystemCalls) { Sweep("FileSystem."); }
TEST_F(RestoreFaultSweep, FileCalls) { Sweep("File."); }
TEST_F(RestoreFaultSweep, RegistryCalls) { Sweep("Registry."); }
TEST_F(RestoreFaultSweep, ShareCalls) { Sweep("Shares."); }
TEST_F(RestoreFaultSweep, ShareServiceSetters) { Sweep("ShareProxy.Set", "ShareProxy.Add"); }
TEST_F(RestoreFaultSweep, ShareServiceCalls) {
  SweepWhere([](const std::string& op) {
    return op.rfind("ShareProxy.", 0) == 0 && op.rfind("ShareProxy.Set", 0) != 0 &&
           op.rfind("ShareProxy.Add", 0) != 0;
  });
}
TEST_F(RestoreFaultSweep, DatabaseAndShellCalls) { Sweep("Database.", "Shell."); }

}  // namespace
}  // namespace qdw::testing
