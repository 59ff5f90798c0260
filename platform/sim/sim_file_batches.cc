// Batches of copies and deletes on the stand-in machine, done as their single calls would be
// one after another.
//
// With no fault armed, where nothing but the items' own files tells their order apart, and no
// two items naming the same file, each item's whole call runs on one of a few threads. Otherwise
// each item's fault rules, look-ups, checks, sharing and sidecars go in the items' order on the
// caller's thread, and only the host's part of the items waiting so far runs on several threads.
// An item that names a file an earlier waiting one changes, or whose look-up fails while items
// wait, is looked up again once they are done, so it sees them finished. Only a host call that
// fails where the checks passed (a failing disk) can leave a later item done or counted.

#include <functional>
#include <initializer_list>
#include <optional>
#include <unordered_set>

#include "platform/concurrent_calls.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/watched_stat.h"

namespace qdw::sim {
namespace {

using platform::kSuccess;
using platform::WinError;

// Items whose host part waits at a time: each copy holds its source open meanwhile.
constexpr size_t kMaxWaiting = 128;

// The items whose host part waits, with the files they change, and the port call they are
// looked up in: the change queues are read once for each run of items done together.
template <typename Pending>
class WaitingItems {
 public:
  WaitingItems() { call_.emplace(); }

  bool empty() const { return items_.empty(); }
  bool full() const { return items_.size() == kMaxWaiting; }
  bool Touches(const std::string& key) const { return keys_.count(key) != 0; }
  void Add(size_t index, Pending item, std::initializer_list<std::string> keys) {
    items_.push_back(std::move(item));
    indices_.push_back(index);
    keys_.insert(keys.begin(), keys.end());
  }

  // Runs each item's host part on a few threads, then its end in order; `(*results)[index]` is
  // the outcome. True when each succeeded. The items after them begin a new call.
  bool Run(std::vector<WinError>* results, const std::function<WinError(Pending&)>& host_part,
           const std::function<WinError(Pending&, WinError)>& finish) {
    platform::RunConcurrently(items_.size(), platform::ThreadsForCalls(items_.size()),
                              [&](size_t i) { (*results)[indices_[i]] = host_part(items_[i]); });
    bool all_done = true;
    for (size_t i = 0; i < items_.size(); ++i) {
      WinError& outcome = (*results)[indices_[i]];
      outcome = finish(items_[i], outcome);
      if (outcome != kSuccess) all_done = false;
    }
    items_.clear();  // a copy's source closes and its holds go
    indices_.clear();
    keys_.clear();
    call_.reset();
    call_.emplace();
    return all_done;
  }

 private:
  std::optional<WatchedStatCall> call_;
  std::vector<Pending> items_;
  std::vector<size_t> indices_;
  std::unordered_set<std::string> keys_;
};

}  // namespace

bool SimFileSystem::CopyFilesAtOnce(const std::vector<platform::FileCopy>& copies,
                                    bool fail_if_exists, BatchEnd end,
                                    std::vector<WinError>* results) {
  const size_t count = copies.size();
  const size_t threads = platform::ThreadsForCalls(count);
  if (threads < 2 || machine_.faults().HasFaults()) return false;
  std::vector<std::unique_ptr<PendingCopy>> pending(count);
  std::vector<WinError> located(count, kSuccess);
  platform::RunConcurrently(count, threads, [&](size_t i) {
    const WatchedStatCall call;
    pending[i] = std::make_unique<PendingCopy>();
    located[i] = LocateCopy(copies[i].source, copies[i].target, fail_if_exists, pending[i].get());
  });
  // A failed look-up may be an earlier item's doing (a source it has yet to write), and a file
  // named twice makes the order tell: those batches go in order.
  std::unordered_set<std::string> named;
  for (size_t i = 0; i < count; ++i) {
    if (located[i] != kSuccess || !named.insert(pending[i]->from.Key()).second ||
        !named.insert(pending[i]->to.Key()).second) {
      return false;
    }
  }
  platform::RunBatchConcurrently(count, end == BatchEnd::kStopAtFailure, results, [&](size_t i) {
    const WatchedStatCall call;
    std::unique_ptr<PendingCopy> copy = std::move(pending[i]);
    if (WinError error = HoldCopy(copy.get())) return error;
    return CopyHeld(*copy);
  });
  return true;
}

void SimFileSystem::CopyFiles(const std::vector<platform::FileCopy>& copies, bool fail_if_exists,
                              BatchEnd end, std::vector<WinError>* results) {
  if (CopyFilesAtOnce(copies, fail_if_exists, end, results)) return;
  results->assign(copies.size(), kSuccess);
  WaitingItems<std::unique_ptr<PendingCopy>> waiting;
  auto run_waiting = [&] {
    return waiting.Run(
        results,
        [](std::unique_ptr<PendingCopy>& copy) {
          return CopyOnHost(copy->host, /*charger=*/nullptr, 0);
        },
        [this](std::unique_ptr<PendingCopy>& copy, WinError outcome) {
          return FinishCopy(copy->target_node, outcome);
        });
  };
  for (size_t i = 0; i < copies.size(); ++i) {
    const platform::FileCopy& copy = copies[i];
    auto pending = std::make_unique<PendingCopy>();
    WinError outcome = machine_.faults().Check("FileSystem.Copy", copy.source);
    if (outcome == kSuccess) {
      outcome = LocateCopy(copy.source, copy.target, fail_if_exists, pending.get());
      if (!waiting.empty() && (outcome != kSuccess || waiting.Touches(pending->from.Key()) ||
                               waiting.Touches(pending->to.Key()))) {
        if (!run_waiting() && end == BatchEnd::kStopAtFailure) return results->resize(i);
        pending = std::make_unique<PendingCopy>();
        outcome = LocateCopy(copy.source, copy.target, fail_if_exists, pending.get());
      }
    }
    if (outcome == kSuccess) outcome = HoldCopy(pending.get());
    bool waits = false;
    if (outcome == kSuccess) {
      // What a single copy charges chunk by chunk is charged here at once for a file of one
      // chunk; a larger one, or one the budget refuses, is copied now by the rules of Copy.
      const uint64_t size = pending->from.info.size;
      const char drive = pending->to.parts.drive;
      waits = size < kCopyChunk &&
              (size == 0 || machine_.faults().ChargeWrite(drive, size) == kSuccess);
      if (!waits) outcome = CopyHeld(*pending);
    }
    if (!waits) {
      (*results)[i] = outcome;
      if (outcome != kSuccess && end == BatchEnd::kStopAtFailure) {
        run_waiting();
        return results->resize(i + 1);
      }
      continue;
    }
    const std::string from_key = pending->from.Key();
    const std::string to_key = pending->to.Key();
    waiting.Add(i, std::move(pending), {from_key, to_key});
    if (waiting.full() && !run_waiting() && end == BatchEnd::kStopAtFailure) {
      return results->resize(i + 1);
    }
  }
  if (!waiting.empty()) run_waiting();
}

bool SimFileSystem::DeleteFilesAtOnce(const std::vector<std::string>& paths, BatchEnd end,
                                      std::vector<WinError>* results) {
  const size_t count = paths.size();
  const size_t threads = platform::ThreadsForCalls(count);
  if (threads < 2 || machine_.faults().HasFaults()) return false;
  std::vector<PendingDelete> pending(count);
  std::vector<WinError> checked(count, kSuccess);
  platform::RunConcurrently(count, threads, [&](size_t i) {
    const WatchedStatCall call;
    checked[i] = BeginDelete(paths[i], &pending[i]);
  });
  std::unordered_set<std::string> named;
  for (size_t i = 0; i < count; ++i) {
    if (checked[i] != kSuccess || !named.insert(pending[i].at.Key()).second) return false;
  }
  platform::RunBatchConcurrently(count, end == BatchEnd::kStopAtFailure, results, [&](size_t i) {
    const WatchedStatCall call;
    return FinishDelete(pending[i], UnlinkHost(pending[i]));
  });
  return true;
}

void SimFileSystem::DeleteFiles(const std::vector<std::string>& paths, BatchEnd end,
                                std::vector<WinError>* results) {
  if (DeleteFilesAtOnce(paths, end, results)) return;
  results->assign(paths.size(), kSuccess);
  WaitingItems<PendingDelete> waiting;
  auto run_waiting = [&] {
    return waiting.Run(
        results, [](PendingDelete& doomed) { return UnlinkHost(doomed); },
        [this](PendingDelete& doomed, WinError outcome) { return FinishDelete(doomed, outcome); });
  };
  for (size_t i = 0; i < paths.size(); ++i) {
    PendingDelete pending;
    WinError outcome = machine_.faults().Check("FileSystem.Delete", paths[i]);
    if (outcome == kSuccess) {
      outcome = BeginDelete(paths[i], &pending);
      if (!waiting.empty() && (outcome != kSuccess || waiting.Touches(pending.at.Key()))) {
        if (!run_waiting() && end == BatchEnd::kStopAtFailure) return results->resize(i);
        pending = PendingDelete();
        outcome = BeginDelete(paths[i], &pending);
      }
    }
    if (outcome != kSuccess) {
      (*results)[i] = outcome;
      if (end == BatchEnd::kStopAtFailure) {
        run_waiting();
        return results->resize(i + 1);
      }
      continue;
    }
    const std::string key = pending.at.Key();
    waiting.Add(i, std::move(pending), {key});
    if (waiting.full() && !run_waiting() && end == BatchEnd::kStopAtFailure) {
      return results->resize(i + 1);
    }
  }
  if (!waiting.empty()) run_waiting();
}

}  // namespace qdw::sim
