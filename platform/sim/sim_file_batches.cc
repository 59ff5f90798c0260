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
#include <unistd.h>

#include <cerrno>
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

// The files the waiting items change.
class WaitingKeys {
 public:
  bool Touches(const std::string& key) const { return keys_.count(key) != 0; }
  void Add(const std::string& key) { keys_.insert(key); }
  // False when `key` was there already.
  bool AddNew(const std::string& key) { return keys_.insert(key).second; }
  void Clear() { keys_.clear(); }

 private:
  std::unordered_set<std::string> keys_;
};

}  // namespace

bool SimFileSystem::CopyFilesAtOnce(const std::vector<platform::FileCopy>& copies,
                                    bool fail_if_exists, BatchEnd end,
                                    std::vector<WinError>* results) {
  const size_t count = copies.size();
  const size_t threads = platform::ThreadsForCalls(count);
  if (threads < 2 || machine_.faults().Armed()) return false;
  std::vector<std::unique_ptr<PendingCopy>> pending(count);
  std::vector<WinError> located(count, kSuccess);
  platform::RunConcurrently(count, threads, [&](size_t i) {
    const WatchedStatCall call;
    pending[i] = std::make_unique<PendingCopy>();
    located[i] = LocateCopy(copies[i].source, copies[i].target, fail_if_exists, pending[i].get());
  });
  // A failed look-up may be an earlier item's doing (a source it has yet to write): in order.
  WaitingKeys keys;
  for (size_t i = 0; i < count; ++i) {
    if (located[i] != kSuccess || !keys.AddNew(pending[i]->from.Key()) ||
        !keys.AddNew(pending[i]->to.Key())) {
      return false;
    }
  }
  platform::RunBatchConcurrently(count, end == BatchEnd::kStopAtFailure, results, [&](size_t i) {
    const WatchedStatCall call;
    std::unique_ptr<PendingCopy> copy = std::move(pending[i]);
    if (WinError error = HoldCopy(copy.get())) return error;
    return FinishCopy(copy->target_node,
                      CopyOnHost(copy->host, &machine_.faults(), copy->to.parts.drive));
  });
  return true;
}

void SimFileSystem::CopyFiles(const std::vector<platform::FileCopy>& copies, bool fail_if_exists,
                              BatchEnd end, std::vector<WinError>* results) {
  if (CopyFilesAtOnce(copies, fail_if_exists, end, results)) return;
  results->assign(copies.size(), kSuccess);
  // One port call for each run of items done together: the change queues are read once a run.
  std::optional<WatchedStatCall> call;
  call.emplace();
  std::vector<std::unique_ptr<PendingCopy>> waiting;
  std::vector<size_t> indices;
  WaitingKeys keys;
  // Returns whether each of them succeeded.
  auto run_waiting = [&] {
    bool all_done = true;
    const size_t threads = platform::ThreadsForCalls(waiting.size());
    platform::RunConcurrently(waiting.size(), threads, [&](size_t i) {
      (*results)[indices[i]] = CopyOnHost(waiting[i]->host, /*charger=*/nullptr, 0);
    });
    for (size_t i = 0; i < waiting.size(); ++i) {
      (*results)[indices[i]] = FinishCopy(waiting[i]->target_node, (*results)[indices[i]]);
      if ((*results)[indices[i]] != kSuccess) all_done = false;
    }
    waiting.clear();  // closes the sources and releases the holds
    indices.clear();
    keys.Clear();
    call.reset();
    call.emplace();
    return all_done;
  };
  for (size_t i = 0; i < copies.size(); ++i) {
    const platform::FileCopy& copy = copies[i];
    auto pending = std::make_unique<PendingCopy>();
    WinError outcome = machine_.faults().Check("FileSystem.Copy", copy.source);
    if (outcome == kSuccess) {
      outcome = LocateCopy(copy.source, copy.target, fail_if_exists, pending.get());
      if (!waiting.empty() && (outcome != kSuccess || keys.Touches(pending->from.Key()) ||
                               keys.Touches(pending->to.Key()))) {
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
      if (!waits) {
        outcome =
            FinishCopy(pending->target_node, CopyOnHost(pending->host, &machine_.faults(), drive));
      }
    }
    if (!waits) {
      (*results)[i] = outcome;
      if (outcome != kSuccess && end == BatchEnd::kStopAtFailure) {
        run_waiting();
        return results->resize(i + 1);
      }
      continue;
    }
    keys.Add(pending->from.Key());
    keys.Add(pending->to.Key());
    waiting.push_back(std::move(pending));
    indices.push_back(i);
    if (waiting.size() == kMaxWaiting && !run_waiting() && end == BatchEnd::kStopAtFailure) {
      return results->resize(i + 1);
    }
  }
  if (!waiting.empty()) run_waiting();
}

bool SimFileSystem::DeleteFilesAtOnce(const std::vector<std::string>& paths, BatchEnd end,
                                      std::vector<WinError>* results) {
  const size_t count = paths.size();
  const size_t threads = platform::ThreadsForCalls(count);
  if (threads < 2 || machine_.faults().Armed()) return false;
  std::vector<PendingDelete> pending(count);
  std::vector<WinError> checked(count, kSuccess);
  platform::RunConcurrently(count, threads, [&](size_t i) {
    const WatchedStatCall call;
    checked[i] = BeginDelete(paths[i], &pending[i]);
  });
  WaitingKeys keys;
  for (size_t i = 0; i < count; ++i) {
    if (checked[i] != kSuccess || !keys.AddNew(pending[i].at.Key())) return false;
  }
  platform::RunBatchConcurrently(count, end == BatchEnd::kStopAtFailure, results, [&](size_t i) {
    const WatchedStatCall call;
    return FinishDelete(pending[i], ::unlink(pending[i].at.host.c_str()) == 0
                                        ? kSuccess
                                        : WinErrorFromErrno(errno));
  });
  return true;
}

void SimFileSystem::DeleteFiles(const std::vector<std::string>& paths, BatchEnd end,
                                std::vector<WinError>* results) {
  if (DeleteFilesAtOnce(paths, end, results)) return;
  results->assign(paths.size(), kSuccess);
  std::optional<WatchedStatCall> call;
  call.emplace();
  std::vector<PendingDelete> waiting;
  std::vector<size_t> indices;
  WaitingKeys keys;
  // Returns whether each of them succeeded.
  auto run_waiting = [&] {
    bool all_done = true;
    const size_t threads = platform::ThreadsForCalls(waiting.size());
    platform::RunConcurrently(waiting.size(), threads, [&](size_t i) {
      (*results)[indices[i]] =
          ::unlink(waiting[i].at.host.c_str()) == 0 ? kSuccess : WinErrorFromErrno(errno);
    });
    for (size_t i = 0; i < waiting.size(); ++i) {
      (*results)[indices[i]] = FinishDelete(waiting[i], (*results)[indices[i]]);
      if ((*results)[indices[i]] != kSuccess) all_done = false;
    }
    waiting.clear();
    indices.clear();
    keys.Clear();
    call.reset();
    call.emplace();
    return all_done;
  };
  for (size_t i = 0; i < paths.size(); ++i) {
    PendingDelete pending;
    WinError outcome = machine_.faults().Check("FileSystem.Delete", paths[i]);
    if (outcome == kSuccess) {
      outcome = BeginDelete(paths[i], &pending);
      if (!waiting.empty() && (outcome != kSuccess || keys.Touches(pending.at.Key()))) {
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
    keys.Add(pending.at.Key());
    waiting.push_back(std::move(pending));
    indices.push_back(i);
    if (waiting.size() == kMaxWaiting && !run_waiting() && end == BatchEnd::kStopAtFailure) {
      return results->resize(i + 1);
    }
  }
  if (!waiting.empty()) run_waiting();
}

}  // namespace qdw::sim
