// Drives, access lists and temporary names on the stand-in machine.
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/sim/sim_file_system.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::kSuccess;
using platform::WinError;

namespace {

// "C:", "C:\" or "C:/" name a drive root; anything else does not.
bool DriveOfRoot(const std::string& root, char* drive) {
  if (root.size() < 2 || root.size() > 3 || root[1] != ':') return false;
  if (root.size() == 3 && root[2] != '\\' && root[2] != '/') return false;
  char letter = platform::ToUpperAnsi(root[0]);
  if (letter < 'A' || letter > 'Z') return false;
  *drive = letter;
  return true;
}

}  // namespace

WinError SimFileSystem::FreeSpace(const std::string& root, uint64_t* free_bytes) {
  *free_bytes = 0;
  if (WinError fault = machine_.faults().Check("FileSystem.FreeSpace", root)) return fault;
  Located at;
  if (WinError error = Locate(root, &at)) return error;
  if (!at.exists || !at.info.is_folder) return platform::kErrorPathNotFound;
  Json drive = machine_.DriveDescription(at.parts.drive);
  uint64_t bytes = 0;
  if (drive.contains("free_bytes")) {
    bytes = drive["free_bytes"].get<uint64_t>();
  } else {
    struct statvfs st;
    if (::statvfs(at.host.c_str(), &st) != 0) return platform::kErrorNotReady;
    bytes = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
  }
  // A drive that is about to be full says so.
  Json faults = machine_.store().Read("faults.json");
  std::string letter(1, at.parts.drive);
  if (faults.contains("disk_full") && faults["disk_full"].contains(letter)) {
    uint64_t budget = faults["disk_full"][letter].get<uint64_t>();
    if (budget < bytes) bytes = budget;
  }
  *free_bytes = bytes;
  return kSuccess;
}

uint32_t SimFileSystem::DriveKind(const std::string& root) {
  char letter = 0;
  if (!DriveOfRoot(root, &letter)) return platform::kDriveNoRootDir;
  Json drive = machine_.DriveDescription(letter);
  if (drive.is_null()) return platform::kDriveNoRootDir;
  std::string type = drive.value("type", std::string("fixed"));
  if (type == "fixed") return platform::kDriveFixed;
  if (type == "removable") return platform::kDriveRemovable;
  if (type == "remote") return platform::kDriveRemote;
  if (type == "cdrom") return platform::kDriveCdRom;
  if (type == "ramdisk") return platform::kDriveRamDisk;
  return platform::kDriveUnknown;
}

WinError SimFileSystem::VolumeFileSystem(const std::string& root, std::string* name) {
  name->clear();
  if (WinError fault = machine_.faults().Check("FileSystem.VolumeFileSystem", root)) {
    return fault;
  }
  char letter = 0;
  if (!DriveOfRoot(root, &letter)) return platform::kErrorInvalidName;
  Json drive = machine_.DriveDescription(letter);
  if (drive.is_null()) return platform::kErrorPathNotFound;
  if (!drive.value("ready", true)) return platform::kErrorNotReady;
  *name = drive.value("fs", std::string("NTFS"));
  return kSuccess;
}

platform::Acl SimFileSystem::InheritedDacl(const WindowsPathParts& path, bool is_folder) const {
  platform::Acl parent_dacl;
  WindowsPathParts ancestor = path;
  bool found = false;
  while (!ancestor.components.empty() && !found) {
    ancestor.components.pop_back();
    if (ancestor.components.empty()) break;
    ObjectMeta meta = state_->meta.Read(ancestor);
    if (meta.dacl) {
      parent_dacl = *meta.dacl;
      found = true;
    }
  }
  if (!found) {
    // A drive root without a list of its own grants everybody full control to all below.
    platform::Ace everyone;
    everyone.flags = platform::kAceObjectInherit | platform::kAceContainerInherit;
    everyone.mask = platform::kMaskFullControl;
    everyone.sid = platform::Sid::World();
    if (path.components.empty()) return platform::Acl{{everyone}};
    parent_dacl.entries.push_back(everyone);
  }
  platform::Acl inherited;
  for (platform::Ace ace : parent_dacl.entries) {
    uint8_t wanted = is_folder ? platform::kAceContainerInherit : platform::kAceObjectInherit;
    if (!(ace.flags & wanted)) continue;
    ace.flags =
        platform::kAceInherited |
        (is_folder ? ace.flags & (platform::kAceObjectInherit | platform::kAceContainerInherit)
                   : 0);
    if (ace.raw.size() > 1) ace.raw[1] = ace.flags;  // an entry carried as bytes: its header
    inherited.entries.push_back(ace);
  }
  return inherited;
}

WinError SimFileSystem::ReadDacl(const std::string& path, bool* present, platform::Acl* dacl) {
  *present = false;
  dacl->entries.clear();
  if (WinError fault = machine_.faults().Check("FileSystem.ReadDacl", path)) return fault;
  Located at;
  // SetFileSecurity and GetFileSecurity reach through a junction to its target.
  if (WinError error = Locate(path, &at, /*follow_last=*/true)) return error;
  if (!at.exists) return MissingError(at);
  if (!at.ntfs) return kSuccess;  // FAT and CD file systems keep no lists
  ObjectMeta meta = state_->meta.Read(at.parts);
  *present = true;
  *dacl = meta.dacl ? *meta.dacl : InheritedDacl(at.parts, at.info.is_folder);
  return kSuccess;
}

WinError SimFileSystem::WriteDacl(const std::string& path, const platform::Acl& dacl) {
  if (WinError fault = machine_.faults().Check("FileSystem.WriteDacl", path)) return fault;
  Located at;
  // SetFileSecurity and GetFileSecurity reach through a junction to its target.
  if (WinError error = Locate(path, &at, /*follow_last=*/true)) return error;
  if (!at.exists) return MissingError(at);
  if (at.write_protected) return platform::kErrorAccessDenied;
  if (!at.ntfs) return platform::kErrorNotSupported;
  if (at.IsRoot()) return platform::kErrorAccessDenied;
  const SidecarNode node = state_->meta.Node(at.parts);
  ObjectMeta meta = state_->meta.Read(node);
  meta.dacl = dacl;
  state_->meta.Write(node, meta);
  return kSuccess;
}

WinError SimFileSystem::FullPath(const std::string& path, std::string* full) {
  full->clear();
  if (WinError fault = machine_.faults().Check("FileSystem.FullPath", path)) return fault;
  // The stand-in keeps no short names, so GetLongPathName would change nothing.
  return NormalizeFullPath(machine_.CodePage(), path, full);
}

WinError SimFileSystem::TempFileName(const std::string& prefix, std::string* path) {
  path->clear();
  if (WinError fault = machine_.faults().Check("FileSystem.TempFileName", prefix)) return fault;
  std::string folder;
  Located at;
  bool usable = false;
  for (const char* variable : {"TMP", "TEMP"}) {
    if (!machine_.EnvironmentVariable(variable, &folder)) continue;
    if (Locate(folder, &at) == kSuccess && at.exists && at.info.is_folder) {
      usable = true;
      break;
    }
  }
  if (!usable) return platform::kErrorPathNotFound;
  static std::atomic<uint32_t> counter{static_cast<uint32_t>(::getpid() % 10000) * 100};
  for (int attempt = 0; attempt < 100000; ++attempt) {
    std::string candidate = platform::JoinPath(folder, prefix + std::to_string(++counter));
    Located probe;
    if (Locate(candidate, &probe) == kSuccess && !probe.exists) {
      *path = candidate;
      return kSuccess;
    }
  }
  return platform::kErrorFileExists;
}

}  // namespace qdw::sim
