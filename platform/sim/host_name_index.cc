#include "platform/sim/host_name_index.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

#include "platform/code_page_text.h"
#include "platform/sim/inotify_cache.h"
#include "platform/sim/sim_paths.h"

namespace qdw::sim {
namespace {

// Enough for the folders a tree walk works in at once; a folder of 300 names costs about 12 KiB.
constexpr size_t kMaxIndexedFolders = 64;
constexpr uint32_t kWatchedChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// A name's key: the hash of its upper-case ANSI form. Two names sharing a key only make the
// caller look, so a collision costs time, never a wrong answer.
uint64_t KeyOf(int code_page, const std::string& host_name) {
  return std::hash<std::string>()(platform::UpperText(code_page, AnsiName(code_page, host_name)));
}

struct IndexedFolder {
  dev_t device = 0;
  ino_t inode = 0;
  int code_page = 0;
  uint64_t last_use = 0;
  // How many names have each key. Changes queued between the watch and the listing may count a
  // name twice; counts only ever err upwards, which makes the caller look.
  std::unordered_map<uint64_t, uint32_t> names;
};

class NameIndex final : public InotifyCache {
 public:
  NameIndex() { RegisterForFork(); }

  static NameIndex& Instance() {
    static NameIndex* index = new NameIndex();  // outlives every static that may use it
    return *index;
  }

  bool MayHold(const std::string& folder, const struct stat& info, const std::string& name,
               int code_page) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!QueueReady()) return true;
    ApplyQueuedChanges();
    IndexedFolder* indexed = Find(info, code_page);
    if (indexed == nullptr) indexed = Build(folder, info, code_page);
    if (indexed == nullptr) return true;
    indexed->last_use = ++clock_;
    std::string upper = platform::UpperText(code_page, name);
    return indexed->names.count(std::hash<std::string>()(upper)) != 0;
  }

 private:
  IndexedFolder* Find(const struct stat& info, int code_page) {
    auto it = by_inode_.find({info.st_dev, info.st_ino});
    if (it == by_inode_.end()) return nullptr;
    IndexedFolder& indexed = folders_[it->second];
    return indexed.code_page == code_page ? &indexed : nullptr;
  }

  // Watches the folder first, then lists it, so no change falls between the two.
  IndexedFolder* Build(const std::string& folder, const struct stat& info, int code_page) {
    if (folders_.size() >= kMaxIndexedFolders) EvictOldest();
    int watch = ::inotify_add_watch(queue_, folder.c_str(), kWatchedChanges);
    if (watch < 0) return nullptr;
    Forget(watch, /*remove_watch=*/false);  // a stale entry of the same watch
    DIR* dir = ::opendir(folder.c_str());
    struct stat listed;
    if (dir == nullptr || ::fstat(::dirfd(dir), &listed) != 0 || listed.st_dev != info.st_dev ||
        listed.st_ino != info.st_ino) {
      if (dir != nullptr) ::closedir(dir);
      ::inotify_rm_watch(queue_, watch);
      return nullptr;
    }
    ForgetInode(info.st_dev, info.st_ino);
    IndexedFolder& indexed = folders_[watch];
    indexed.device = info.st_dev;
    indexed.inode = info.st_ino;
    indexed.code_page = code_page;
    while (dirent* entry = ::readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      ++indexed.names[KeyOf(code_page, entry->d_name)];
    }
    ::closedir(dir);
    by_inode_[{info.st_dev, info.st_ino}] = watch;
    ApplyQueuedChanges();
    auto it = folders_.find(watch);
    return it == folders_.end() ? nullptr : &it->second;
  }

  void ApplyQueuedChanges() {
    ApplyQueuedEvents([this](const inotify_event& event) { Apply(event); });
  }

  void ForgetAfterFork() override { ForgetAll(/*remove_watches=*/false); }

  void Apply(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      ForgetAll(/*remove_watches=*/true);  // changes were lost: every index is suspect
      return;
    }
    auto it = folders_.find(event.wd);
    if (it == folders_.end()) return;
    if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
      Forget(event.wd, /*remove_watch=*/!(event.mask & IN_IGNORED));
      return;
    }
    if (event.len == 0) return;
    IndexedFolder& indexed = it->second;
    uint64_t key = KeyOf(indexed.code_page, event.name);
    if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
      ++indexed.names[key];
    } else if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
      auto name = indexed.names.find(key);
      if (name != indexed.names.end() && --name->second == 0) indexed.names.erase(name);
    }
  }

  void EvictOldest() {
    auto oldest = folders_.begin();
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
      if (it->second.last_use < oldest->second.last_use) oldest = it;
    }
    if (oldest != folders_.end()) Forget(oldest->first, /*remove_watch=*/true);
  }

  void ForgetInode(dev_t device, ino_t inode) {
    auto it = by_inode_.find({device, inode});
    if (it != by_inode_.end()) Forget(it->second, /*remove_watch=*/true);
  }

  void Forget(int watch, bool remove_watch) {
    auto it = folders_.find(watch);
    if (it == folders_.end()) return;
    by_inode_.erase({it->second.device, it->second.inode});
    folders_.erase(it);
    if (remove_watch) ::inotify_rm_watch(queue_, watch);
  }

  void ForgetAll(bool remove_watches) {
    if (remove_watches) {
      for (const auto& folder : folders_) ::inotify_rm_watch(queue_, folder.first);
    }
    folders_.clear();
    by_inode_.clear();
  }

  uint64_t clock_ = 0;
  std::unordered_map<int, IndexedFolder> folders_;  // by watch descriptor
  std::map<std::pair<dev_t, ino_t>, int> by_inode_;
};

}  // namespace

bool FolderMayHoldName(const std::string& folder, const struct stat& folder_info,
                       const std::string& name, int code_page) {
  return NameIndex::Instance().MayHold(folder, folder_info, name, code_page);
}

}  // namespace qdw::sim
