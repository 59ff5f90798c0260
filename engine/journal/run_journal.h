// The run journal: every change a backup or a restore makes outside its own work folders is
// recorded, durably and with what its undo needs, before it is made. A run that fails is
// undone from the journal in reverse order; a run that succeeded is committed, and only then
// is what it set aside removed. A run cut short by a crash is undone (or, when committed,
// cleaned up) at the next start of the program.
//
// The file holds the runs that are not finished yet, one after the other: a "begin" record
// opens each. Progress of an undo or a clean-up is recorded too ("undone N", "done N"), so a
// recovery that is itself cut short goes on where it stopped.
#ifndef QDW_ENGINE_JOURNAL_RUN_JOURNAL_H_
#define QDW_ENGINE_JOURNAL_RUN_JOURNAL_H_

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/common/engine_state.h"
#include "engine/journal/journal_changes.h"
#include "engine/journal/journal_file.h"
#include "platform/platform.h"

namespace qdw::journal {

inline constexpr char kOperationBackup[] = "backup";
inline constexpr char kOperationRestore[] = "restore";

// What a recovery did, for the user.
struct RecoveryReport {
  // What an unfinished run had changed and is back as it was.
  std::vector<std::string> put_back;
  // What could not be put back or removed yet; the journal keeps it for the next try.
  std::vector<std::string> not_put_back;
  // An unfinished run could not be undone whole: the machine is not as it was before it.
  bool undo_pending = false;
};

class RunJournal {
 public:
  // `platform` must be the machine itself, not a journaling view of it: undo acts directly.
  RunJournal(platform::Platform& platform, engine::EngineState& state);
  ~RunJournal();
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  // Undoes the runs that did not finish and cleans up after those that were kept, the newest
  // first, then deletes the journal. With `start_services` the services each run had stopped
  // are started again. A run that cannot be undone whole stops the recovery there: what of it
  // could not be undone and the runs before it stay in the journal.
  RecoveryReport Recover(bool start_services);

  // Opens a run of `operation`; a nested call only counts. False, with nothing opened, when
  // the journal holds a run that could not be undone (`report` says what), so that no new run
  // changes a machine that is not yet back as it was.
  bool Begin(const std::string& operation, RecoveryReport* report);
  // Closes the run (the outermost call): the journal is cut back to what it held before the
  // run unless the run left something to undo or clean up. A run neither committed nor undone
  // is undone first.
  void End();
  bool IsOpen() const { return depth_ > 0; }

  // Makes `record` durable before its change is made; false when it could not, and then the
  // change must not be made. Outside a run nothing is recorded and every change may go on.
  bool Record(JournalRecord record);
  // From here on the run is kept. False when the commit could not be recorded: the run must
  // then fail and be undone.
  bool Commit();
  bool committed() const { return committed_; }
  // After a failure: undoes the run's changes, newest first; one that cannot be undone now
  // stays in the journal. The services are left to the caller, which starts them as after
  // any run. False when something could not be undone.
  bool Undo();
  // After the commit: removes what the run set aside. False when something stayed.
  bool CleanUp();
  // What the open run has set aside so far (the kept paths), oldest first, so that a caller
  // may remove them its own way before CleanUp.
  std::vector<std::string> KeptPaths() const;

 private:
  struct Progress {
    std::set<uint64_t> undone;
    std::set<uint64_t> done;
  };
  bool RecordMarker(const char* kind, uint64_t sequence);
  // Undo or clean-up of one run's records (`run` in file order).
  bool UndoRecords(const std::vector<JournalRecord>& run, Progress* progress,
                   RecoveryReport* report);
  bool CleanUpRecords(const std::vector<JournalRecord>& run, Progress* progress,
                      RecoveryReport* report);
  void RecordServices();

  platform::Platform& platform_;
  ChangeActions actions_;
  JournalFile file_;
  int depth_ = 0;
  uint64_t next_sequence_ = 1;
  uint64_t base_length_ = 0;
  bool failed_ = false;  // the run's journal could not be written
  bool length_known_ = false;
  bool committed_ = false;
  std::vector<JournalRecord> run_;
  Progress progress_;
};

// Opens a run for a scope; the journal's End runs however the scope is left.
class JournalRun {
 public:
  JournalRun(RunJournal& journal, const std::string& operation, RecoveryReport* report)
      : journal_(journal), opened_(journal.Begin(operation, report)) {}
  ~JournalRun() {
    if (opened_) journal_.End();
  }
  JournalRun(const JournalRun&) = delete;
  JournalRun& operator=(const JournalRun&) = delete;
  bool opened() const { return opened_; }

 private:
  RunJournal& journal_;
  bool opened_;
};

}  // namespace qdw::journal

#endif  // QDW_ENGINE_JOURNAL_RUN_JOURNAL_H_
