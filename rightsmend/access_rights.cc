#include "rightsmend/access_rights.h"

#include <vector>

#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::rightsmend {

using platform::kSuccess;
using platform::WinError;

namespace {

// Paths are built in buffers of MAX_PATH characters, terminator included.
bool FitsPathBuffer(const std::string& path) { return path.size() < platform::kMaxPath; }

// "C:\" for a path on drive C; empty when the path names no drive.
std::string VolumeRoot(const std::string& path) {
  std::string drive;
  std::string dir;
  std::string name;
  std::string extension;
  platform::SplitPath(path, &drive, &dir, &name, &extension);
  return drive + "\\";
}

// True when `relative_path` below `base` passes through a junction, or is one: the tool's data
// folder lies where every user may create folders, so a link planted there could lead a rights
// change to any folder of the machine.
bool PassesThroughLink(platform::FileSystem& files, const std::string& base,
                       const std::string& relative_path) {
  for (size_t end = platform::FindSeparator(relative_path);;
       end = platform::FindSeparator(relative_path, end + 1)) {
    const std::string level = base + "\\" + relative_path.substr(0, end);
    uint32_t attributes = 0;
    if (files.ReadAttributes(level, &attributes) == kSuccess &&
        platform::IsReparsePoint(attributes)) {
      return true;
    }
    if (end == std::string::npos) return false;
  }
}

}  // namespace

int AccessRights::ChangeRelative(const std::string& relative_path, const std::string& account,
                                 uint32_t mask, int keep_existing, int recurse) {
  if (!IsNt()) return kRightsDone;
  std::string folder;
  if (platform_.shell().SpecialFolder(platform::kCsidlCommonAppData, &folder) != kSuccess) {
    return kRightsFailed;
  }
  if (PassesThroughLink(platform_.files(), folder, relative_path)) return kRightsFailed;
  return ChangeOnVolume(VolumeRoot(folder), folder + "\\" + relative_path, account, mask,
                        keep_existing, recurse);
}

int AccessRights::ChangeFullPath(const std::string& full_path, const std::string& account,
                                 uint32_t mask, int keep_existing, int recurse) {
  if (!IsNt()) return kRightsDone;
  return ChangeOnVolume(VolumeRoot(full_path), full_path, account, mask, keep_existing, recurse);
}

int AccessRights::ChangeOnVolume(const std::string& root, const std::string& path,
                                 const std::string& account, uint32_t mask, int keep_existing,
                                 int recurse) {
  std::string file_system;
  if (platform_.files().VolumeFileSystem(root, &file_system) != kSuccess) return kRightsFailed;
  if (file_system != "NTFS") return kRightsDone;
  if (!FitsPathBuffer(path)) return kRightsFailed;
  platform::Sid sid;
  if (ResolveAccount(account, &sid) != kSuccess) return kRightsFailed;
  return ChangeTree(path, sid, mask, keep_existing == 1, recurse != 0) == kSuccess ? kRightsDone
                                                                                   : kRightsFailed;
}

WinError AccessRights::ResolveAccount(const std::string& account, platform::Sid* sid) {
  std::string domain;
  const WinError error = platform_.accounts().LookupName("", account, sid, &domain);
  if (error == kSuccess && sid->IsValid()) return kSuccess;
  if (account == "Everyone") {
    *sid = platform::Sid::World();
    return kSuccess;
  }
  return error != kSuccess ? error : platform::kErrorInvalidSid;
}

WinError AccessRights::ChangeTree(const std::string& path, const platform::Sid& sid, uint32_t mask,
                                  bool keep, bool recurse) {
  uint32_t attributes = 0;
  WinError error = platform_.files().ReadAttributes(path, &attributes);
  if (error != kSuccess) return error;
  // SetFileSecurity on a junction changes its target, another folder: refused.
  if (platform::IsReparsePoint(attributes)) return platform::kErrorAccessDenied;
  const bool is_folder = (attributes & platform::kAttrDirectory) != 0;
  error = ChangeObject(path, sid, mask, keep, is_folder ? kFolderInheritFlags : 0);
  if (error != kSuccess || !is_folder || !recurse) return error;

  const std::string pattern = platform::JoinPath(path, "*.*");
  if (!FitsPathBuffer(pattern)) return platform::kErrorFilenameExcedRange;
  std::vector<platform::DirEntry> entries;
  error = platform_.files().Find(pattern, &entries);
  // Only an empty drive root lists nothing at all.
  if (error == platform::kErrorFileNotFound) return kSuccess;
  if (error != kSuccess) return error;
  for (const platform::DirEntry& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    // A junction inside the tree is left as it is: its rights are its target's.
    if (platform::IsReparsePoint(entry)) continue;
    const std::string child = platform::JoinPath(path, entry.name);
    if (!FitsPathBuffer(child)) return platform::kErrorFilenameExcedRange;
    error = (entry.attributes & platform::kAttrDirectory) != 0
                ? ChangeTree(child, sid, mask, keep, true)
                : ChangeObject(child, sid, mask, keep, 0);
    if (error != kSuccess) return error;
  }
  return kSuccess;
}

WinError AccessRights::ChangeObject(const std::string& path, const platform::Sid& sid,
                                    uint32_t mask, bool keep, uint8_t flags) {
  bool present = false;
  platform::Acl old_dacl;
  WinError error = platform_.files().ReadDacl(path, &present, &old_dacl);
  if (error != kSuccess) return error;
  // An object without a DACL starts from an empty list.
  platform::Acl new_dacl;
  if (present && keep) new_dacl.entries = old_dacl.entries;
  platform::Ace ace;
  ace.type = platform::kAceAccessAllowed;
  ace.flags = flags;
  ace.mask = mask;
  ace.sid = sid;
  new_dacl.entries.push_back(ace);
  return platform_.files().WriteDacl(path, new_dacl);
}

bool AccessRights::IsNt() {
  return platform_.system().Version().platform_id == platform::kPlatformNt;
}

}  // namespace qdw::rightsmend
