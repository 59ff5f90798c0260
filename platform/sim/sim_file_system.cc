#include "platform/sim/sim_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/code_page_text.h"
#include "platform/sim/host_creation_time.h"
#include "platform/sim/sim_ports.h"
#include "platform/sim/watched_stat.h"

namespace qdw::sim {

using platform::Disposition;
using platform::kAttrArchive;
using platform::kAttrDirectory;
using platform::kAttrHidden;
using platform::kAttrNormal;
using platform::kAttrReadOnly;
using platform::kAttrSystem;
using platform::kErrorAccessDenied;
using platform::kGenericRead;
using platform::kGenericWrite;
using platform::kSuccess;
using platform::WinError;

namespace {

constexpr uint32_t kStoredBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

std::string ParentHost(const std::string& host) { return host.substr(0, host.rfind('/')); }

// "C:\" keeps its separator; any other path loses a trailing one.
std::string StripTrailingSeparator(const std::string& path) {
  return path.size() > 3 && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

// Junctions that lead to junctions end somewhere, or the path cannot be resolved.
constexpr int kMaxJunctionHops = 32;
// ERROR_CANT_RESOLVE_FILENAME: a loop of junctions, or one whose target is no path.
constexpr WinError kErrorCantResolveFilename = 1921;

}  // namespace

SimFileSystem::SimFileSystem(SimMachine& machine)
    : machine_(machine), state_(std::make_shared<FileSystemState>(machine)) {}

WinError SimFileSystem::Locate(const std::string& path, Located* out, bool follow_last,
                               bool likely_new) const {
  const std::shared_ptr<const SimMachine::FileFacts> facts = machine_.Facts();
  const int code_page = facts->code_page;
  if (WinError error = SplitWindowsPath(path, &out->parts, code_page)) return error;
  for (int hops = 0;; ++hops) {
    const SimMachine::DriveFacts& drive = facts->Drive(out->parts.drive);
    if (!drive.present) return platform::kErrorPathNotFound;
    if (!drive.ready) return platform::kErrorNotReady;
    // CD-ROM drives refuse every change.
    out->write_protected = drive.cdrom;
    out->ntfs = drive.ntfs;
    size_t junction = std::string::npos;
    bool found = false;
    out->host = ResolveHostComponents(machine_.DriveFolder(out->parts.drive), out->parts.components,
                                      code_page, &junction, &out->parent_is_folder, &found,
                                      &out->info, likely_new);
    if (junction == std::string::npos) {
      out->exists = found;
      if (!follow_last || !out->exists || !out->info.reparse) return kSuccess;
      junction = out->parts.components.size() - 1;
    }
    // A path through a junction goes on from the junction's target.
    WindowsPathParts target;
    if (hops == kMaxJunctionHops || !ReadJunctionTarget(out->host, code_page, &target)) {
      return kErrorCantResolveFilename;
    }
    target.components.insert(target.components.end(),
                             out->parts.components.begin() + static_cast<long>(junction) + 1,
                             out->parts.components.end());
    out->parts = std::move(target);
  }
}

bool SimFileSystem::ParentIsFolder(const Located& located) {
  if (located.IsRoot() || located.parent_is_folder) return true;
  HostInfo parent;
  return StatHost(ParentHost(located.host), &parent) && parent.is_folder;
}

WinError SimFileSystem::MissingError(const Located& located) {
  return ParentIsFolder(located) ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
}

uint32_t SimFileSystem::AttributesOf(const Located& located, const ObjectMeta& meta) const {
  if (located.IsRoot()) return kAttrDirectory;
  bool folder = located.info.is_folder;
  uint32_t bits = meta.attributes ? *meta.attributes : (folder ? 0 : kAttrArchive);
  if (folder) bits |= kAttrDirectory;
  if (located.info.reparse) bits |= platform::kAttrReparsePoint;
  return bits == 0 ? kAttrNormal : bits;
}

bool SimFileSystem::IsReadOnly(const Located& located) const { return IsReadOnly(NodeOf(located)); }

SidecarNode SimFileSystem::NodeOf(const Located& located) const {
  return state_->meta.Node(located.parts, located.Key());
}

bool SimFileSystem::IsReadOnly(const SidecarNode& node) const {
  ObjectMeta meta = state_->meta.Read(node);
  return meta.attributes && (*meta.attributes & kAttrReadOnly);
}

WinError SimFileSystem::Open(const std::string& path, uint32_t access, uint32_t share,
                             Disposition disposition, uint32_t flags_and_attributes,
                             std::unique_ptr<platform::File>* out) {
  const WatchedStatCall call;
  out->reset();
  if (WinError fault = machine_.faults().Check("FileSystem.Open", path)) return fault;
  Located at;
  const bool may_create = disposition == Disposition::kCreateNew ||
                          disposition == Disposition::kCreateAlways ||
                          disposition == Disposition::kOpenAlways;
  if (WinError error = may_create ? LocateNew(path, &at) : Locate(path, &at)) return error;
  if (at.IsRoot() || (at.exists && at.info.is_folder)) return kErrorAccessDenied;
  if (!at.exists && !ParentIsFolder(at)) return platform::kErrorPathNotFound;
  bool create = false;
  bool truncate = false;
  switch (disposition) {
    case Disposition::kCreateNew:
      if (at.exists) return platform::kErrorFileExists;
      create = true;
      break;
    case Disposition::kCreateAlways:
      create = !at.exists;
      truncate = at.exists;
      break;
    case Disposition::kOpenExisting:
      if (!at.exists) return platform::kErrorFileNotFound;
      break;
    case Disposition::kOpenAlways:
      create = !at.exists;
      break;
    case Disposition::kTruncateExisting:
      if (!at.exists) return platform::kErrorFileNotFound;
      if (!(access & kGenericWrite)) return platform::kErrorInvalidParameter;
      truncate = true;
      break;
    default:
      return platform::kErrorInvalidParameter;
  }
  bool writes = (access & kGenericWrite) || create || truncate;
  if (writes && at.write_protected) return kErrorAccessDenied;
  uint32_t requested = flags_and_attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem);
  SidecarNode node = NodeOf(at);
  ObjectMeta meta = at.exists ? state_->meta.Read(node) : ObjectMeta{};
  if (at.exists) {
    uint32_t bits = meta.attributes.value_or(kAttrArchive);
    if ((bits & kAttrReadOnly) && writes) return kErrorAccessDenied;
    // Replacing a hidden or system file needs the caller to ask for those attributes too.
    if (disposition == Disposition::kCreateAlways &&
        (bits & (kAttrHidden | kAttrSystem) & ~requested) != 0) {
      return kErrorAccessDenied;
    }
  }
  std::string key = at.Key();
  uint64_t ticket = 0;
  if (WinError error = state_->sharing->Acquire(key, access, share, &ticket)) return error;
  int flags = O_CLOEXEC;
  if ((access & kGenericRead) && (access & kGenericWrite)) {
    flags |= O_RDWR;
  } else if (access & kGenericWrite) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  if (create) flags |= O_CREAT | O_EXCL;
  if (truncate) flags |= O_TRUNC;
  // A new file (or one replaced) takes the caller's attributes; it never inherits a stale
  // sidecar of an earlier file of that name, nor a replaced file's creation time.
  ObjectMeta fresh;
  if (!create) fresh.dacl = meta.dacl;
  if (requested != 0) fresh.attributes = requested | kAttrArchive;
  if (create) {
    // The sidecar comes first: a process killed in between leaves no file without its
    // attributes, only a sidecar of no file, which the next object of that name replaces.
    state_->meta.Remove(node);
    if (!fresh.IsDefault()) state_->meta.Write(node, fresh);
  }
  int fd = ::open(at.host.c_str(), flags, 0644);
  if (fd < 0) {
    int error = errno;
    if (create && error != EEXIST) state_->meta.Remove(node);
    state_->sharing->Release(key, ticket);
    return error == EEXIST ? platform::kErrorFileExists : WinErrorFromErrno(error);
  }
  if (!create && disposition == Disposition::kCreateAlways) {
    ForgetHostCreation(fd);
    state_->meta.Write(node, fresh);
  }
  *out = std::make_unique<SimFile>(state_, at.parts.drive, std::move(key), std::move(node), fd,
                                   access, ticket);
  return kSuccess;
}

WinError SimFileSystem::ReadAttributes(const std::string& path, uint32_t* attributes) {
  const WatchedStatCall call;
  *attributes = platform::kInvalidAttributes;
  if (WinError fault = machine_.faults().Check("FileSystem.ReadAttributes", path)) return fault;
  Located at;
  if (WinError error = Locate(path, &at)) return error;
  if (!at.exists) return MissingError(at);
  *attributes = AttributesOf(at, state_->meta.Read(at.parts));
  return kSuccess;
}

WinError SimFileSystem::WriteAttributes(const std::string& path, uint32_t attributes) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.WriteAttributes", path)) return fault;
  Located at;
  if (WinError error = Locate(path, &at)) return error;
  if (!at.exists) return MissingError(at);
  if (at.write_protected) return kErrorAccessDenied;
  if (at.IsRoot()) return kSuccess;
  uint32_t bits = attributes & kStoredBits;
  const SidecarNode node = NodeOf(at);
  ObjectMeta meta = state_->meta.Read(node);
  bool is_default = at.info.is_folder ? bits == 0 : bits == kAttrArchive;
  std::optional<uint32_t> stored = is_default ? std::nullopt : std::optional<uint32_t>(bits);
  if (stored == meta.attributes) return kSuccess;  // nothing changes: no sidecar to rewrite
  meta.attributes = stored;
  state_->meta.Write(node, meta);
  return kSuccess;
}

WinError SimFileSystem::Delete(const std::string& path) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.Delete", path)) return fault;
  PendingDelete pending;
  if (WinError error = BeginDelete(path, &pending)) return error;
  return FinishDelete(pending, UnlinkHost(pending));
}

WinError SimFileSystem::UnlinkHost(const PendingDelete& pending) {
  return ::unlink(pending.at.host.c_str()) == 0 ? kSuccess : WinErrorFromErrno(errno);
}

WinError SimFileSystem::BeginDelete(const std::string& path, PendingDelete* pending) const {
  Located& at = pending->at;
  if (WinError error = Locate(path, &at)) return error;
  if (!at.exists) return MissingError(at);
  if (at.IsRoot() || at.info.is_folder || at.write_protected) return kErrorAccessDenied;
  pending->node = NodeOf(at);
  if (IsReadOnly(pending->node)) return kErrorAccessDenied;
  return state_->sharing->CheckDelete(at.Key());
}

WinError SimFileSystem::FinishDelete(const PendingDelete& pending, WinError result) const {
  if (result == kSuccess) state_->meta.Remove(pending.node);
  return result;
}

WinError SimFileSystem::MakeFolder(const std::string& path) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.MakeFolder", path)) return fault;
  Located at;
  if (WinError error = LocateNew(path, &at)) return error;
  if (at.IsRoot() || at.exists) return platform::kErrorAlreadyExists;
  if (!ParentIsFolder(at)) return platform::kErrorPathNotFound;
  if (at.write_protected) return kErrorAccessDenied;
  if (::mkdir(at.host.c_str(), 0755) != 0) return WinErrorFromErrno(errno);
  state_->meta.Remove(at.parts);
  return kSuccess;
}

WinError SimFileSystem::RemoveFolder(const std::string& path) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.RemoveFolder", path)) return fault;
  Located at;
  if (WinError error = Locate(path, &at)) return error;
  if (at.IsRoot()) return kErrorAccessDenied;
  if (!at.exists) return MissingError(at);
  if (!at.info.is_folder) return platform::kErrorDirectory;
  if (at.write_protected) return kErrorAccessDenied;
  const SidecarNode node = NodeOf(at);
  if (IsReadOnly(node)) return kErrorAccessDenied;
  // A junction goes as a link; its target and what that holds stay.
  if (at.info.reparse) {
    if (::unlink(at.host.c_str()) != 0) return WinErrorFromErrno(errno);
    state_->meta.Remove(node);
    return kSuccess;
  }
  if (::rmdir(at.host.c_str()) != 0) {
    return errno == ENOTEMPTY || errno == EEXIST ? platform::kErrorDirNotEmpty
                                                 : WinErrorFromErrno(errno);
  }
  state_->meta.Remove(node);
  return kSuccess;
}

std::unique_ptr<platform::FileSystem> NewSimFileSystem(SimMachine& machine) {
  return std::make_unique<SimFileSystem>(machine);
}

WinError SimFileSystem::MakeJunction(const std::string& path, const std::string& target) {
  std::string full_target;
  if (WinError error = NormalizeFullPath(machine_.CodePage(), target, &full_target)) return error;
  WindowsPathParts target_parts;
  if (WinError error = SplitWindowsPath(full_target, &target_parts, machine_.CodePage())) {
    return error;
  }
  Located at;
  if (WinError error = Locate(path, &at)) return error;
  if (at.IsRoot() || at.exists) return platform::kErrorAlreadyExists;
  if (!ParentIsFolder(at)) return platform::kErrorPathNotFound;
  if (at.write_protected || !at.ntfs) return kErrorAccessDenied;
  std::string link_text;
  platform::AnsiToUtf8(machine_.CodePage(), StripTrailingSeparator(full_target), &link_text);
  state_->meta.Remove(at.parts);
  if (::symlink(link_text.c_str(), at.host.c_str()) != 0) return WinErrorFromErrno(errno);
  return kSuccess;
}

WinError MakeSimJunction(SimMachine& machine, const std::string& path, const std::string& target) {
  return SimFileSystem(machine).MakeJunction(path, target);
}

}  // namespace qdw::sim
