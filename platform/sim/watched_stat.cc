#include "platform/sim/watched_stat.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "platform/sim/inotify_cache.h"

namespace qdw::sim {
namespace {

// The machine folder and its drives folder; a test process may use a few machines in turn.
constexpr size_t kMaxWatchedFolders = 16;
constexpr uint32_t kWatchedChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF |
                                     IN_MOVE_SELF | IN_ONLYDIR;

// The port calls of this thread under way, the number of the outermost, and the call in which
// the queue was last read.
thread_local int t_call_depth = 0;
thread_local uint64_t t_calls_begun = 0;
thread_local uint64_t t_current_call = 0;
thread_local uint64_t t_read_call = 0;

struct CachedStat {
  int result = 0;
  int error = 0;
  struct stat info {};
};

struct WatchedFolder {
  std::string path;
  uint64_t last_use = 0;
};

// An answer, kept by the whole path so that a repeated question needs one look-up and no copy
// of its folder's path; `watch` is the watch on that folder.
struct CachedAnswer {
  int watch = -1;
  CachedStat stat;
};

class StatCache final : public InotifyCache {
 public:
  StatCache() { RegisterForFork(); }

  static StatCache& Instance() {
    static StatCache* cache = new StatCache();  // outlives every static that may use it
    return *cache;
  }

  int Stat(const std::string& path, struct stat* info) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == path.size()) {
      return ::stat(path.c_str(), info);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!QueueReady()) return ::stat(path.c_str(), info);
    if (t_current_call == 0 || t_read_call != t_current_call) {
      ApplyQueuedChanges();
      t_read_call = t_current_call;
    }
    auto cached = answers_.find(path);
    if (cached == answers_.end()) {
      const int watch = Watch(path.substr(0, slash));
      if (watch < 0) return ::stat(path.c_str(), info);
      // The watch is in place before this stat, so a change after it is queued for the next.
      CachedAnswer fresh;
      fresh.watch = watch;
      fresh.stat.result = ::stat(path.c_str(), &fresh.stat.info);
      fresh.stat.error = fresh.stat.result == 0 ? 0 : errno;
      cached = answers_.emplace(path, fresh).first;
    }
    auto folder = folders_.find(cached->second.watch);
    if (folder != folders_.end()) folder->second.last_use = ++clock_;
    const CachedStat& answer = cached->second.stat;
    if (answer.result != 0) {
      errno = answer.error;
      return -1;
    }
    *info = answer.info;
    return 0;
  }

 private:
  // The watch on `folder`, or -1 when the system refuses one.
  int Watch(const std::string& folder) {
    auto known = by_path_.find(folder);
    if (known != by_path_.end()) return known->second;
    if (folders_.size() >= kMaxWatchedFolders) EvictOldest();
    int watch = ::inotify_add_watch(queue_, folder.c_str(), kWatchedChanges);
    if (watch < 0) return -1;
    // The same folder under another spelling shares the watch; its answers start again.
    Forget(watch, /*remove_watch=*/false);
    folders_[watch].path = folder;
    by_path_[folder] = watch;
    return watch;
  }

  void ApplyQueuedChanges() {
    ApplyQueuedEvents([this](const inotify_event& event) { Apply(event); });
  }

  void ForgetAfterFork() override {
    folders_.clear();
    by_path_.clear();
    answers_.clear();
  }

  void Apply(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      // Changes were lost: every cached answer is suspect, the watches themselves still hold.
      answers_.clear();
      return;
    }
    auto it = folders_.find(event.wd);
    if (it == folders_.end()) return;
    if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
      Forget(event.wd, /*remove_watch=*/!(event.mask & IN_IGNORED));
      return;
    }
    if (event.len != 0) answers_.erase(it->second.path + "/" + event.name);
  }

  void EvictOldest() {
    auto oldest = folders_.begin();
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
      if (it->second.last_use < oldest->second.last_use) oldest = it;
    }
    if (oldest != folders_.end()) Forget(oldest->first, /*remove_watch=*/true);
  }

  void Forget(int watch, bool remove_watch) {
    for (auto answer = answers_.begin(); answer != answers_.end();) {
      answer = answer->second.watch == watch ? answers_.erase(answer) : std::next(answer);
    }
    auto it = folders_.find(watch);
    if (it == folders_.end()) return;
    for (auto path = by_path_.begin(); path != by_path_.end();) {
      path = path->second == watch ? by_path_.erase(path) : std::next(path);
    }
    folders_.erase(it);
    if (remove_watch) ::inotify_rm_watch(queue_, watch);
  }

  uint64_t clock_ = 0;
  std::unordered_map<int, WatchedFolder> folders_;  // by watch descriptor
  std::unordered_map<std::string, int> by_path_;
  std::unordered_map<std::string, CachedAnswer> answers_;  // by the whole path asked
};

}  // namespace

int WatchedStat(const std::string& path, struct stat* info) {
  return StatCache::Instance().Stat(path, info);
}

WatchedStatCall::WatchedStatCall() {
  if (t_call_depth++ == 0) t_current_call = ++t_calls_begun;
}

WatchedStatCall::~WatchedStatCall() {
  if (--t_call_depth == 0) t_current_call = 0;
}

uint64_t CurrentWatchedCall() { return t_current_call; }

}  // namespace qdw::sim
