#include "engine/journal/run_journal.h"

#include <algorithm>

#include "system/service_control.h"

namespace qdw::journal {
namespace {

bool IsBookkeeping(const JournalRecord& record) {
  const std::string& kind = record.kind;
  return kind == kRecordBegin || kind == kRecordServices || kind == kRecordCommit ||
         kind == kRecordUndone || kind == kRecordDone;
}

bool HasCleanUp(const JournalRecord& record) {
  return record.kind == kRecordWorkFolder || record.kind == kRecordKept;
}

void AddItem(const std::string& item, std::vector<std::string>* items) {
  if (item.empty() || std::find(items->begin(), items->end(), item) != items->end()) return;
  items->push_back(item);
}

bool IsCommitted(const std::vector<JournalRecord>& run) {
  return std::any_of(run.begin(), run.end(),
                     [](const JournalRecord& record) { return record.kind == kRecordCommit; });
}

}  // namespace

RunJournal::RunJournal(platform::Platform& platform, engine::EngineState& state)
    : platform_(platform),
      actions_(platform, state),
      file_(platform, JournalPath(platform.shell())) {}

RunJournal::~RunJournal() {
  while (depth_ > 0) End();
}

RecoveryReport RunJournal::Recover(bool start_services) {
  RecoveryReport report;
  if (depth_ > 0) return report;
  std::vector<JournalRecord> records;
  bool exists = false;
  if (!file_.Read(&records, &exists)) {
    // A journal that cannot be read may hold changes to undo: nothing may go on over it.
    report.not_put_back.push_back(file_.path());
    report.undo_pending = true;
    return report;
  }
  if (!exists) return report;

  std::vector<std::vector<JournalRecord>> runs;
  Progress progress;
  for (JournalRecord& record : records) {
    next_sequence_ = std::max(next_sequence_, record.sequence + 1);
    uint64_t target = 0;
    if ((record.kind == kRecordUndone || record.kind == kRecordDone) &&
        ParseNumberField(record.Field(0), &target)) {
      (record.kind == kRecordUndone ? progress.undone : progress.done).insert(target);
      continue;
    }
    if (record.kind == kRecordBegin) runs.emplace_back();
    // Records before the first "begin" belong to no run that could have changed anything.
    if (!runs.empty()) runs.back().push_back(std::move(record));
  }

  bool finished = true;
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    const bool committed = IsCommitted(*run);
    const bool complete = committed ? CleanUpRecords(*run, &progress, &report)
                                    : UndoRecords(*run, &progress, &report);
    if (start_services) {
      for (const JournalRecord& record : *run) {
        if (record.kind != kRecordServices) continue;
        std::string started;
        // The services are started as the run would have started them: not a step to keep.
        if (actions_.StartServices(record, &started) == StepResult::kDone && !committed) {
          AddItem(started, &report.put_back);
        }
      }
    }
    if (!complete) {
      finished = false;
      if (!committed) {
        report.undo_pending = true;
        break;
      }
    }
  }
  if (finished) file_.TruncateTo(0);
  file_.Close();
  return report;
}

bool RunJournal::Begin(const std::string& operation, RecoveryReport* report) {
  if (depth_ > 0) {
    ++depth_;
    return true;
  }
  RecoveryReport earlier = Recover(/*start_services=*/false);
  if (report != nullptr) *report = earlier;
  if (earlier.undo_pending) return false;
  depth_ = 1;
  committed_ = false;
  run_.clear();
  progress_ = Progress();
  length_known_ = file_.Length(&base_length_);
  failed_ = !length_known_;
  // Records without their "begin" would belong to no run: without it nothing may be recorded.
  if (!failed_ && !Record(BeginRecord(operation))) failed_ = true;
  if (!failed_) RecordServices();
  return true;
}

void RunJournal::RecordServices() {
  system::ServiceControl services(platform_);
  std::vector<std::string> running;
  for (const std::string& name : ProductServiceNames()) {
    bool runs = false;
    if (services.QueryServiceRunning(name, &runs) && runs) running.push_back(name);
  }
  if (!Record(ServicesRecord(running))) failed_ = true;
}

void RunJournal::End() {
  if (depth_ == 0 || --depth_ > 0) return;
  if (!committed_) Undo();
  bool pending = false;
  for (const JournalRecord& record : run_) {
    if (IsBookkeeping(record)) continue;
    if (committed_ ? HasCleanUp(record) && progress_.done.count(record.sequence) == 0 &&
                         progress_.undone.count(record.sequence) == 0
                   : progress_.undone.count(record.sequence) == 0) {
      pending = true;
    }
  }
  // Without the length it began at, the run cannot be cut off the runs recorded before it.
  if (pending || !length_known_) {
    file_.Close();
  } else {
    file_.TruncateTo(base_length_);
  }
  run_.clear();
  committed_ = false;
  failed_ = false;
}

bool RunJournal::Record(JournalRecord record) {
  if (depth_ == 0) return true;
  if (failed_) return false;
  record.sequence = next_sequence_++;
  if (!file_.Append(record)) return false;
  run_.push_back(std::move(record));
  return true;
}

bool RunJournal::RecordMarker(const char* kind, uint64_t sequence) {
  JournalRecord marker;
  marker.kind = kind;
  marker.fields = {NumberField(sequence)};
  marker.sequence = next_sequence_++;
  // A marker that is lost only makes a later recovery repeat a step that checks before it acts.
  return file_.Append(marker);
}

bool RunJournal::Commit() {
  if (depth_ == 0) {
    committed_ = true;
    return true;
  }
  JournalRecord commit;
  commit.kind = kRecordCommit;
  if (!Record(commit)) return false;
  committed_ = true;
  return true;
}

bool RunJournal::Undo() {
  if (depth_ == 0) return true;
  RecoveryReport report;
  return UndoRecords(run_, &progress_, &report);
}

bool RunJournal::CleanUp() {
  if (depth_ == 0 || !committed_) return depth_ == 0;
  RecoveryReport report;
  return CleanUpRecords(run_, &progress_, &report);
}

std::vector<std::string> RunJournal::KeptPaths() const {
  std::vector<std::string> kept;
  for (const JournalRecord& record : run_) {
    if (record.kind == kRecordKept) kept.push_back(record.Field(1));
  }
  return kept;
}

bool RunJournal::UndoRecords(const std::vector<JournalRecord>& run, Progress* progress,
                             RecoveryReport* report) {
  // A step that fails stays pending and the undo goes on: the others do not depend on it in a
  // way that could harm (a kept tree moves back only where nothing is), and the user gets back
  // as much as can be had now.
  bool complete = true;
  for (auto record = run.rbegin(); record != run.rend(); ++record) {
    if (IsBookkeeping(*record) || progress->undone.count(record->sequence) != 0) continue;
    std::string item;
    const StepResult result = actions_.Undo(*record, &item);
    if (result == StepResult::kFailed) {
      AddItem(item, &report->not_put_back);
      complete = false;
      continue;
    }
    if (result == StepResult::kDone && record->kind != kRecordWorkFolder) {
      AddItem(item, &report->put_back);
    }
    progress->undone.insert(record->sequence);
    RecordMarker(kRecordUndone, record->sequence);
  }
  return complete;
}

bool RunJournal::CleanUpRecords(const std::vector<JournalRecord>& run, Progress* progress,
                                RecoveryReport* report) {
  bool complete = true;
  for (const JournalRecord& record : run) {
    if (!HasCleanUp(record) || progress->done.count(record.sequence) != 0 ||
        progress->undone.count(record.sequence) != 0) {
      continue;
    }
    std::string item;
    if (actions_.CleanUp(record, &item) == StepResult::kFailed) {
      AddItem(item, &report->not_put_back);
      complete = false;
      continue;
    }
    progress->done.insert(record.sequence);
    RecordMarker(kRecordDone, record.sequence);
  }
  return complete;
}

}  // namespace qdw::journal
