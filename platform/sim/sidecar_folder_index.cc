#include "platform/sim/sidecar_folder_index.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>

#include "platform/sim/inotify_cache.h"
#include "platform/sim/watched_stat.h"

namespace qdw::sim {
namespace {

// The folders on the way to the sidecars a restore or backup works with; beyond this the index
// stops learning and answers with plain lookups until a change makes it start again.
constexpr size_t kMaxWatchedFolders = 256;
constexpr uint32_t kWatchedChanges = IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;

// This process's changes of the sidecar tree: how many have ended, and how many of this thread
// are under way.
std::atomic<uint64_t> g_tree_changes{0};
thread_local int t_changing = 0;
// The port call of this thread in which the queue was last read, and the changes ended then.
thread_local uint64_t t_read_call = 0;
thread_local uint64_t t_read_changes = 0;

bool PlainExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Every folder the index knows to exist is watched, and so is each folder above it up to the
// base. A folder that leaves a watched folder (moved or removed) may take known folders along,
// and their paths change: then everything is forgotten. A new name in a watched folder only
// ends that name's absence.
class SidecarFolderIndex final : public InotifyCache {
 public:
  SidecarFolderIndex() { RegisterForFork(); }

  static SidecarFolderIndex& Instance() {
    static SidecarFolderIndex* index = new SidecarFolderIndex();  // outlives every static
    return *index;
  }

  bool Exists(const std::string& base, const std::string& folder) {
    if (folder.size() <= base.size() + 1 || folder.compare(0, base.size(), base) != 0 ||
        folder[base.size()] != '/') {
      return PlainExists(folder);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!QueueReady()) return PlainExists(folder);
    ReadQueueIfNeeded();
    for (const RecentAnswer& recent : recent_) {
      if (recent.generation == generation_ && recent.folder == folder) return recent.exists;
    }
    bool from_index = true;
    const bool exists = Answer(base, folder, &from_index);
    if (from_index) {
      RecentAnswer& slot = recent_[next_recent_];
      next_recent_ = (next_recent_ + 1) % kRecentAnswers;
      slot.folder = folder;
      slot.exists = exists;
      slot.generation = generation_;
    }
    return exists;
  }

 private:
  // A copy asks about its source's and its target's folder in turn, file after file; the maps'
  // long keys make each fresh answer cost more than remembering the last few.
  static constexpr size_t kRecentAnswers = 4;
  struct RecentAnswer {
    std::string folder;
    bool exists = false;
    uint64_t generation = 0;  // valid while the index has not changed since
  };

  // Within one port call the queue holds nothing new for the index unless this process changed
  // the sidecar tree since it was read: another process's change may be seen by the next call.
  void ReadQueueIfNeeded() {
    const uint64_t call = CurrentWatchedCall();
    const uint64_t changes = g_tree_changes.load(std::memory_order_acquire);
    if (call != 0 && call == t_read_call && changes == t_read_changes && t_changing == 0) return;
    ApplyQueuedEvents([this](const inotify_event& event) { Apply(event); });
    t_read_call = call;
    t_read_changes = changes;
  }

  // `*from_index` false: the answer is a plain lookup, which no watch keeps current.
  bool Answer(const std::string& base, const std::string& folder, bool* from_index) {
    if (watch_of_path_.count(folder) != 0) return true;
    // The deepest folder known to exist on the way, and whether a name below it is known absent.
    size_t known = base.size();
    for (size_t end = folder.find('/', base.size() + 1);; end = folder.find('/', end + 1)) {
      const size_t length = end == std::string::npos ? folder.size() : end;
      std::string_view prefix(folder.data(), length);
      if (absent_.count(prefix) != 0) return false;
      if (end == std::string::npos) break;
      if (watch_of_path_.count(prefix) != 0) known = length;
    }
    return Learn(base, folder, known, from_index);
  }

  // Walks down from the deepest known folder, watching each folder before looking below it, so
  // that a name created after the look is queued.
  bool Learn(const std::string& base, const std::string& folder, size_t known, bool* from_index) {
    if (known == base.size() && watch_of_path_.count(base) == 0 && !Watch(base)) {
      *from_index = false;
      return PlainExists(folder);
    }
    while (known < folder.size()) {
      size_t end = folder.find('/', known + 1);
      if (end == std::string::npos) end = folder.size();
      const std::string next = folder.substr(0, end);
      if (watch_of_path_.size() >= kMaxWatchedFolders) {
        *from_index = false;
        return PlainExists(folder);
      }
      if (!Watch(next)) {
        if (errno != ENOENT) {
          *from_index = false;
          return PlainExists(folder);
        }
        absent_.insert(next);
        ++generation_;
        return false;
      }
      known = end;
    }
    return true;
  }

  // False with errno from inotify_add_watch (ENOENT: nothing there; ENOTDIR: no folder).
  bool Watch(const std::string& path) {
    int watch = ::inotify_add_watch(queue_, path.c_str(), kWatchedChanges);
    if (watch < 0) return false;
    auto known = path_of_watch_.find(watch);
    if (known != path_of_watch_.end() && known->second != path) {
      // The same folder under a second path: the first one moved and its event is still queued.
      ForgetAll(/*remove_watches=*/true);
      errno = EAGAIN;
      return false;
    }
    path_of_watch_[watch] = path;
    watch_of_path_[path] = watch;
    ++generation_;
    return true;
  }

  void Apply(const inotify_event& event) {
    ++generation_;  // any event may change an answer; most runs see few
    if (event.mask & IN_Q_OVERFLOW) {
      ForgetAll(/*remove_watches=*/true);
      return;
    }
    auto watched = path_of_watch_.find(event.wd);
    if (watched == path_of_watch_.end()) return;  // a watch forgotten since
    if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
      ForgetAll(/*remove_watches=*/true);
      return;
    }
    if (event.len == 0) return;
    const std::string path = watched->second + "/" + event.name;
    if (watch_of_path_.count(path) != 0) {
      ForgetAll(/*remove_watches=*/true);  // a known folder left, or another took its place
    } else if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
      absent_.erase(path);
    }
  }

  void ForgetAfterFork() override { ForgetAll(/*remove_watches=*/false); }

  void ForgetAll(bool remove_watches) {
    if (remove_watches) {
      for (const auto& watch : path_of_watch_) ::inotify_rm_watch(queue_, watch.first);
    }
    path_of_watch_.clear();
    watch_of_path_.clear();
    absent_.clear();
    ++generation_;
  }

  std::unordered_map<int, std::string> path_of_watch_;
  std::map<std::string, int, std::less<>> watch_of_path_;
  std::set<std::string, std::less<>> absent_;  // first missing names below watched folders
  uint64_t generation_ = 1;                    // counts every change of the three above
  RecentAnswer recent_[kRecentAnswers];
  size_t next_recent_ = 0;
};

}  // namespace

bool SidecarFolderExists(const std::string& base, const std::string& folder) {
  return SidecarFolderIndex::Instance().Exists(base, folder);
}

SidecarTreeChange::SidecarTreeChange() { ++t_changing; }

SidecarTreeChange::~SidecarTreeChange() {
  --t_changing;
  g_tree_changes.fetch_add(1, std::memory_order_release);
}

}  // namespace qdw::sim
