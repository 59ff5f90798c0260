// Runs of the program's backup and restore dialog in this process on machines made by qdwsim,
// for sweeps that fail one port call of a run after another: a machine is made once, copied
// for each run, the run goes through the real run sequence and engines with every message
// answered as a user who says yes would, and the start-up recovery follows.
#ifndef QDW_TESTS_APP_RUN_SWEEP_SUPPORT_H_
#define QDW_TESTS_APP_RUN_SWEEP_SUPPORT_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/journal/run_journal.h"
#include "platform/sim/machine_snapshot.h"

namespace qdw::testing {

inline constexpr char kSweepRepository[] = "C:\\Users\\jo\\QDW Repository";
inline constexpr char kSweepDestination[] = "D:\\Backups";
inline constexpr char kSweepArchive[] = "D:\\Backups\\Full.qdw";

// The port operations a backup or a restore calls, as the stand-in's fault rules name them.
const std::vector<std::string>& SweptOperations();

// A host folder for the runs of one test program, removed with the object.
class SweepFolder {
 public:
  SweepFolder();
  ~SweepFolder();
  const std::string& path() const { return path_; }
  std::string Machine(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// qdwsim init `folder` with `seed` (a 1 MB repository, Windows 7 unless `os` says otherwise).
void InitMachine(const std::string& folder, int seed, const std::string& os = "");
// A copy of a machine folder, junctions as links; `to` is replaced.
void CopyMachine(const std::string& from, const std::string& to);

// The installation moves on after a backup: a document deleted, a stray file in the product
// folder, an outside shared folder's file changed and one added, a share removed, a printer
// icon path changed.
void ChangeInstallation(const std::string& folder);

struct RunResult {
  // The outcome the dialog showed was success.
  bool succeeded = false;
  // What the dialog showed instead, when it was no success.
  std::string outcome;
  // The string ids of every message shown, in order.
  std::vector<int> messages;
};

// A restore of kSweepArchive, or a backup of the repository to kSweepDestination as "Full"
// (an earlier set of that name replaced), from the dialog on the machine in `folder`.
RunResult RunRestore(const std::string& folder);
RunResult RunBackup(const std::string& folder);
// The check start-up makes: recovers what an unfinished run left.
journal::RecoveryReport Recover(const std::string& folder);

// What a user could see on the machine; with `write_times` false, last-write times are left
// out (files a run writes get the host's time), and `excluded` paths too.
sim::MachineSnapshot Snapshot(const std::string& folder, bool write_times = true,
                              const std::vector<std::string>& excluded = {});

// Fault rules on the machine: counting every call of `operations` (a rule that never fires),
// and the counts they saw; failing the `nth` call of `operation` once with `error`; none.
void CountCalls(const std::string& folder, const std::vector<std::string>& operations);
std::map<std::string, uint64_t> CountedCalls(const std::string& folder);
void FailCall(const std::string& folder, const std::string& operation, uint32_t nth,
              uint32_t error);
void ClearFaults(const std::string& folder);

// The calls of each operation to fail: 1 to `bound`, then `samples` more drawn from the calls
// beyond (seeded, so a run can be repeated).
std::vector<uint32_t> CallsToFail(uint64_t count, uint32_t bound, uint32_t samples, uint32_t seed);

// What a sweep compares each run with: the machine before the run (a failed run), and after a
// clean run (one that went through), taken without write times and without `after_excluded`,
// whose state `check_after` checks instead (empty text when it is right).
struct SweepExpectations {
  std::function<RunResult(const std::string& folder)> run;
  sim::MachineSnapshot before;
  sim::MachineSnapshot after;
  std::vector<std::string> after_excluded;
  std::function<std::string(const std::string& folder)> check_after;
};

// Copies `base` to `run_folder` once for each call to fail of each operation `pick` selects
// (`counts`: the calls of a clean run), fails it, runs, recovers as start-up does, and adds a
// test failure for each run that leaves neither state. Prints and returns the tally.
struct SweepTally {
  int points = 0;
  int failed = 0;
  int kept = 0;
};
SweepTally SweepFaults(const std::string& base, const std::string& run_folder,
                       const std::map<std::string, uint64_t>& counts,
                       const std::function<bool(const std::string&)>& pick,
                       const SweepExpectations& expect);

// A number from the environment, or `fallback` when it is unset or negative.
uint32_t EnvironmentNumber(const char* name, uint32_t fallback);

}  // namespace qdw::testing

#endif  // QDW_TESTS_APP_RUN_SWEEP_SUPPORT_H_
