// Folder listings: wildcard matching, "." and "..", and the order each file system keeps.
#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/code_page_text.h"
#include "platform/sim/host_creation_time.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/watched_stat.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::DirEntry;
using platform::kSuccess;
using platform::WinError;

namespace {

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

struct Listed {
  std::string name;       // ANSI, as the program sees it
  std::string host_name;  // UTF-8
  std::string upper;      // the host form of the upper-case name, as sidecars are named
  HostInfo info;
  platform::FileTime creation;  // as the host object keeps it
};

// The kind of a listed name as its folder entry tells it, without a look-up of the name: false
// when the host file system does not say.
bool KindFromFolderEntry(const dirent& item, HostInfo* info) {
  if (item.d_type == DT_UNKNOWN) return false;
  info->reparse = item.d_type == DT_LNK;
  info->is_folder = item.d_type == DT_DIR || info->reparse;
  return true;
}

}  // namespace

DirEntry SimFileSystem::EntryOf(std::string name, const HostInfo& info,
                                platform::FileTime host_creation,
                                std::optional<ObjectMeta> meta) const {
  DirEntry entry;
  entry.name = std::move(name);
  uint32_t bits =
      meta && meta->attributes ? *meta->attributes : (info.is_folder ? 0 : platform::kAttrArchive);
  if (info.is_folder) bits |= platform::kAttrDirectory;
  if (info.reparse) bits |= platform::kAttrReparsePoint;
  entry.attributes = bits == 0 ? platform::kAttrNormal : bits;
  entry.size = info.size;
  if (meta && meta->creation) {
    entry.times.creation = platform::FileTime{*meta->creation};
  } else {
    entry.times.creation = host_creation;
  }
  entry.times.last_access = info.last_access;
  entry.times.last_write = info.last_write;
  return entry;
}

WinError SimFileSystem::Find(const std::string& pattern, std::vector<DirEntry>* entries) {
  return List(pattern, /*sizes_and_times=*/true, entries);
}

WinError SimFileSystem::FindNamesAndAttributes(const std::string& pattern,
                                               std::vector<DirEntry>* entries) {
  return List(pattern, /*sizes_and_times=*/false, entries);
}

WinError SimFileSystem::List(const std::string& pattern, bool sizes_and_times,
                             std::vector<DirEntry>* entries) {
  const WatchedStatCall call;
  entries->clear();
  if (WinError fault = machine_.faults().Check("FileSystem.Find", pattern)) return fault;
  const int code_page = machine_.CodePage();
  std::string text = pattern;
  std::replace(text.begin(), text.end(), '/', '\\');
  size_t slash = platform::FindLastChar(code_page, text, '\\');
  if (slash == std::string::npos) return platform::kErrorInvalidName;
  std::string folder_path = text.substr(0, slash);
  std::string last = text.substr(slash + 1);
  if (last.empty()) return platform::kErrorFileNotFound;
  if (platform::IsBareDrive(folder_path)) folder_path += "\\";
  Located folder;
  // Listing a junction's content lists its target's.
  if (WinError error = Locate(folder_path, &folder, /*follow_last=*/true)) return error;
  if (!folder.exists || !folder.info.is_folder) return platform::kErrorPathNotFound;

  if (!HasWildcard(last)) {
    Located at;
    if (WinError error = Locate(text, &at)) return error;
    if (!at.exists) return platform::kErrorFileNotFound;
    std::string name =
        at.IsRoot() ? last : AnsiName(code_page, at.host.substr(at.host.rfind('/') + 1));
    // Only files carry a creation time on the host file.
    const platform::FileTime creation =
        at.info.is_folder ? at.info.birth : HostCreation(at.host, at.info);
    entries->push_back(EntryOf(std::move(name), at.info, creation, state_->meta.Read(at.parts)));
    return kSuccess;
  }

  DIR* dir = ::opendir(folder.host.c_str());
  if (dir == nullptr) {
    return errno == EACCES ? platform::kErrorAccessDenied : platform::kErrorPathNotFound;
  }
  std::vector<Listed> listed;
  while (dirent* item = ::readdir(dir)) {
    if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0) continue;
    Listed one;
    one.host_name = item->d_name;
    one.name = AnsiName(code_page, one.host_name);
    if (!platform::WildcardMatchText(code_page, last, one.name)) continue;
    // An NTFS listing is ordered by name, so a walk's listing needs nothing but the entry.
    if (sizes_and_times || !folder.ntfs || !KindFromFolderEntry(*item, &one.info)) {
      if (!StatHostAt(::dirfd(dir), one.host_name, &one.info)) continue;  // gone meanwhile
      one.creation = one.info.is_folder
                         ? one.info.birth
                         : HostCreationAt(::dirfd(dir), folder.host, one.host_name, one.info);
    }
    // UTF-8 sorts by character, as NTFS sorts its names.
    AppendHostName(code_page, platform::UpperText(code_page, one.name), &one.upper);
    listed.push_back(std::move(one));
  }
  ::closedir(dir);

  // Sorted by pointer: an entry is a few hundred bytes, and moving them was most of the sort.
  std::vector<Listed*> order;
  order.reserve(listed.size());
  for (Listed& one : listed) order.push_back(&one);
  if (folder.ntfs) {
    // NTFS keeps a folder's names in a B-tree ordered by their upper-case form.
    std::sort(order.begin(), order.end(),
              [](const Listed* a, const Listed* b) { return a->upper < b->upper; });
  } else {
    // FAT keeps entries roughly in creation order; host inode numbers come close.
    std::sort(order.begin(), order.end(),
              [](const Listed* a, const Listed* b) { return a->info.inode < b->info.inode; });
  }

  if (!folder.IsRoot()) {
    for (const char* dots : {".", ".."}) {
      if (platform::WildcardMatchText(code_page, last, dots))
        entries->push_back(EntryOf(dots, folder.info, folder.info.birth, {}));
    }
  }
  std::set<std::string> with_sidecars = state_->meta.ChildrenWithSidecars(folder.parts);
  WindowsPathParts child = folder.parts;
  child.components.emplace_back();
  entries->reserve(entries->size() + order.size());
  for (Listed* one : order) {
    std::optional<ObjectMeta> meta;
    if (with_sidecars.count(one->upper) != 0) {
      child.components.back() = one->name;
      meta = state_->meta.Read(child);
    }
    entries->push_back(EntryOf(std::move(one->name), one->info, one->creation, meta));
  }
  return entries->empty() ? platform::kErrorFileNotFound : kSuccess;
}

}  // namespace qdw::sim
