#include "platform/sim/sim_sharing.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/code_page_text.h"
#include "platform/file_system.h"
#include "platform/sim/machine_store.h"
#include "platform/sim/sim_metadata.h"
#include "platform/sim/sim_paths.h"
#include "platform/sim/watched_stat.h"

namespace qdw::sim {
namespace {

using platform::kGenericRead;
using platform::kGenericWrite;
using platform::kShareRead;
using platform::kShareWrite;

bool Conflicts(uint32_t access, uint32_t share, uint32_t held_access, uint32_t held_share) {
  return ((access & kGenericRead) && !(held_share & kShareRead)) ||
         ((access & kGenericWrite) && !(held_share & kShareWrite)) ||
         ((held_access & kGenericRead) && !(share & kShareRead)) ||
         ((held_access & kGenericWrite) && !(share & kShareWrite));
}

}  // namespace

SharingTable::SharingTable(std::string locks_file, int code_page)
    : locks_file_(std::move(locks_file)), code_page_(code_page) {}

std::shared_ptr<SharingTable> SharingTable::ForMachine(const std::string& machine_folder,
                                                       int code_page) {
  static std::mutex tables_mutex;
  static std::map<std::string, std::weak_ptr<SharingTable>> tables;
  char resolved[PATH_MAX];
  std::string key = ::realpath(machine_folder.c_str(), resolved) ? resolved : machine_folder;
  std::lock_guard<std::mutex> lock(tables_mutex);
  std::shared_ptr<SharingTable> table = tables[key].lock();
  if (!table) {
    table = std::make_shared<SharingTable>(machine_folder + "/locks.json", code_page);
    tables[key] = table;
  }
  return table;
}

void SharingTable::RefreshLocks() {
  struct stat st;
  if (WatchedStat(locks_file_, &st) != 0) {
    locks_.clear();
    locks_stamp_ = 0;
    return;
  }
  int64_t stamp = (static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec) ^
                  (static_cast<int64_t>(st.st_ino) << 24) ^ st.st_size;
  if (stamp == 0) stamp = 1;
  if (stamp == locks_stamp_) return;
  locks_.clear();
  locks_stamp_ = stamp;
  std::ifstream in(locks_file_, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  Json doc = Json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
  if (!doc.is_object() || !doc.contains("locks") || !doc["locks"].is_array()) return;
  for (const Json& lock : doc["locks"]) {
    WindowsPathParts parts;
    std::string path;
    if (lock.is_object())
      platform::Utf8ToAnsi(code_page_, lock.value("path", std::string()), &path);
    if (!lock.is_object() || SplitWindowsPath(path, &parts, code_page_) != platform::kSuccess) {
      continue;
    }
    Opener holder;
    holder.access = lock.value("access", kGenericRead | kGenericWrite);
    holder.share = lock.value("share", 0u);
    locks_.emplace(CanonicalPath(parts), holder);
  }
}

std::vector<SharingTable::Opener> SharingTable::OpenersOf(const std::string& key) {
  RefreshLocks();
  std::vector<Opener> openers;
  auto open = open_.find(key);
  if (open != open_.end()) openers = open->second;
  auto range = locks_.equal_range(key);
  for (auto it = range.first; it != range.second; ++it) openers.push_back(it->second);
  return openers;
}

platform::WinError SharingTable::Acquire(const std::string& key, uint32_t access, uint32_t share,
                                         uint64_t* ticket) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Opener& held : OpenersOf(key)) {
    if (Conflicts(access, share, held.access, held.share)) {
      return platform::kErrorSharingViolation;
    }
  }
  Opener opener{next_ticket_++, access, share};
  open_[key].push_back(opener);
  *ticket = opener.ticket;
  return platform::kSuccess;
}

void SharingTable::Release(const std::string& key, uint64_t ticket) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto open = open_.find(key);
  if (open == open_.end()) return;
  auto& openers = open->second;
  for (auto it = openers.begin(); it != openers.end(); ++it) {
    if (it->ticket == ticket) {
      openers.erase(it);
      break;
    }
  }
  if (openers.empty()) open_.erase(open);
}

platform::WinError SharingTable::CheckDelete(const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Opener& held : OpenersOf(key)) {
    if (!(held.share & platform::kShareDelete)) return platform::kErrorSharingViolation;
  }
  return platform::kSuccess;
}

bool SharingTable::AnyOpenAtOrBelow(const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  RefreshLocks();
  std::string prefix = key.back() == '\\' ? key : key + "\\";
  auto below = [&](const std::string& path) {
    return path == key || path.compare(0, prefix.size(), prefix) == 0;
  };
  for (const auto& open : open_) {
    if (below(open.first)) return true;
  }
  for (const auto& held : locks_) {
    if (below(held.first)) return true;
  }
  return false;
}

}  // namespace qdw::sim
