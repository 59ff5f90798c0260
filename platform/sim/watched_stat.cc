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

// The port calls of this thread under way, and whether the queue was read in the outermost.
thread_local int t_call_depth = 0;
thread_local bool t_read_in_call = false;

struct CachedStat {
  int result = 0;
  int error = 0;
  struct stat info {};
};

struct WatchedFolder {
  std::string path;
  uint64_t last_use = 0;
  std::unordered_map<std::string, CachedStat> names;
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
    if (t_call_depth == 0 || !t_read_in_call) {
      ApplyQueuedChanges();
      t_read_in_call = t_call_depth > 0;
    }
    WatchedFolder* folder = Watch(path.substr(0, slash));
    if (folder == nullptr) return ::stat(path.c_str(), info);
    folder->last_use = ++clock_;
    std::string name = path.substr(slash + 1);
    auto cached = folder->names.find(name);
    if (cached == folder->names.end()) {
      // The watch is in place before this stat, so a change after it is queued for the next.
      CachedStat fresh;
      fresh.result = ::stat(path.c_str(), &fresh.info);
      fresh.error = fresh.result == 0 ? 0 : errno;
      cached = folder->names.emplace(std::move(name), fresh).first;
    }
    if (cached->second.result != 0) {
      errno = cached->second.error;
      return -1;
    }
    *info = cached->second.info;
    return 0;
  }

 private:
  WatchedFolder* Watch(const std::string& folder) {
    auto known = by_path_.find(folder);
    if (known != by_path_.end()) return &folders_[known->second];
    if (folders_.size() >= kMaxWatchedFolders) EvictOldest();
    int watch = ::inotify_add_watch(queue_, folder.c_str(), kWatchedChanges);
    if (watch < 0) return nullptr;
    // The same folder under another spelling shares the watch; its cache starts again.
    Forget(watch, /*remove_watch=*/false);
    WatchedFolder& watched = folders_[watch];
    watched.path = folder;
    by_path_[folder] = watch;
    return &watched;
  }

  void ApplyQueuedChanges() {
    ApplyQueuedEvents([this](const inotify_event& event) { Apply(event); });
  }

  void ForgetAfterFork() override {
    folders_.clear();
    by_path_.clear();
  }

  void Apply(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      // Changes were lost: every cached answer is suspect, the watches themselves still hold.
      for (auto& folder : folders_) folder.second.names.clear();
      return;
    }
    auto it = folders_.find(event.wd);
    if (it == folders_.end()) return;
    if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
      Forget(event.wd, /*remove_watch=*/!(event.mask & IN_IGNORED));
      return;
    }
    if (event.len != 0) it->second.names.erase(event.name);
  }

  void EvictOldest() {
    auto oldest = folders_.begin();
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
      if (it->second.last_use < oldest->second.last_use) oldest = it;
    }
    if (oldest != folders_.end()) Forget(oldest->first, /*remove_watch=*/true);
  }

  void Forget(int watch, bool remove_watch) {
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
};

}  // namespace

int WatchedStat(const std::string& path, struct stat* info) {
  return StatCache::Instance().Stat(path, info);
}

WatchedStatCall::WatchedStatCall() {
  if (t_call_depth++ == 0) t_read_in_call = false;
}

WatchedStatCall::~WatchedStatCall() { --t_call_depth; }

}  // namespace qdw::sim
