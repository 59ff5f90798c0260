// Copying and moving files and folders on the stand-in machine.
#include <unistd.h>

#include <cerrno>

#include "platform/sim/host_creation_time.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/watched_stat.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::kErrorAccessDenied;
using platform::kSuccess;
using platform::WinError;

namespace {

bool IsAtOrBelow(const std::string& key, const std::string& folder_key) {
  return key == folder_key ||
         (key.size() > folder_key.size() && key.compare(0, folder_key.size(), folder_key) == 0 &&
          key[folder_key.size()] == '\\');
}

}  // namespace

WinError SimFileSystem::PrepareCopy(const Located& source, const Located& target,
                                    bool keep_creation, HostCopy* copy,
                                    SidecarNode* target_node) const {
  if (WinError error = OpenCopySource(source.host, copy)) return error;
  copy->target_host = target.host;
  copy->target_exists = target.exists;
  copy->last_access = source.info.last_access;
  copy->last_write = source.info.last_write;
  // The target's metadata is in place before its bytes, so that a process killed during the
  // copy leaves a partial copy with the attributes it gets, as Windows's copy would.
  ObjectMeta source_meta = state_->meta.Read(NodeOf(source));
  ObjectMeta target_meta;
  target_meta.attributes = source_meta.attributes;
  if (keep_creation) {
    target_meta.creation =
        source_meta.creation.value_or(HostCreation(source.host, source.info).ticks);
    target_meta.dacl = source_meta.dacl;
  }
  *target_node = NodeOf(target);
  state_->meta.Remove(*target_node);
  if (!target_meta.IsDefault()) state_->meta.Write(*target_node, target_meta);
  return kSuccess;
}

WinError SimFileSystem::FinishCopy(const SidecarNode& target_node, WinError result) const {
  // A copy that did not finish leaves no sidecar either.
  if (result != kSuccess) state_->meta.Remove(target_node);
  return result;
}

WinError SimFileSystem::CopyFileBody(const Located& source, const Located& target,
                                     bool keep_creation) const {
  HostCopy copy;
  SidecarNode target_node;
  if (WinError error = PrepareCopy(source, target, keep_creation, &copy, &target_node)) {
    return error;
  }
  return FinishCopy(target_node, CopyOnHost(copy, &machine_.faults(), target.parts.drive));
}

WinError SimFileSystem::LocateCopy(const std::string& source, const std::string& target,
                                   bool fail_if_exists, PendingCopy* pending) const {
  Located& from = pending->from;
  Located& to = pending->to;
  if (WinError error = Locate(source, &from)) return error;
  if (!from.exists) return MissingError(from);
  if (from.IsRoot() || from.info.is_folder) return kErrorAccessDenied;
  if (WinError error = LocateNew(target, &to)) return error;
  if (to.exists) {
    if (to.info.inode == from.info.inode) return platform::kErrorSharingViolation;
    if (to.IsRoot() || to.info.is_folder) return kErrorAccessDenied;
    if (fail_if_exists) return platform::kErrorFileExists;
    if (IsReadOnly(to)) return kErrorAccessDenied;
  } else if (!ParentIsFolder(to)) {
    return platform::kErrorPathNotFound;
  }
  if (to.write_protected) return kErrorAccessDenied;
  return kSuccess;
}

WinError SimFileSystem::HoldCopy(PendingCopy* pending) const {
  const Located& from = pending->from;
  const Located& to = pending->to;
  pending->reading.emplace(*state_->sharing, from.Key());
  if (WinError error = pending->reading->Acquire(platform::kGenericRead,
                                                 platform::kShareRead | platform::kShareDelete)) {
    return error;
  }
  pending->writing.emplace(*state_->sharing, to.Key());
  if (WinError error = pending->writing->Acquire(platform::kGenericWrite, 0)) return error;
  return PrepareCopy(from, to, /*keep_creation=*/false, &pending->host, &pending->target_node);
}

WinError SimFileSystem::Copy(const std::string& source, const std::string& target,
                             bool fail_if_exists) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.Copy", source)) return fault;
  PendingCopy pending;
  if (WinError error = LocateCopy(source, target, fail_if_exists, &pending)) return error;
  if (WinError error = HoldCopy(&pending)) return error;
  return CopyHeld(pending);
}

WinError SimFileSystem::CopyHeld(const PendingCopy& pending) const {
  return FinishCopy(pending.target_node,
                    CopyOnHost(pending.host, &machine_.faults(), pending.to.parts.drive));
}

WinError SimFileSystem::MoveOneFolder(const Located& source, const Located& target) {
  if (source.parts.drive != target.parts.drive) return platform::kErrorNotSameDevice;
  const std::string& source_key = source.Key();
  const std::string& target_key = target.Key();
  if (target_key != source_key && IsAtOrBelow(target_key, source_key)) {
    return platform::kErrorSharingViolation;  // into itself
  }
  // Windows refuses to rename a folder while a file inside it is open.
  if (state_->sharing->AnyOpenAtOrBelow(source_key)) return kErrorAccessDenied;
  return state_->meta.MoveObject(NodeOf(source), NodeOf(target), source.host, target.host,
                                 /*durable=*/false);
}

WinError SimFileSystem::MoveOneFile(const Located& source, const Located& target) {
  if (WinError error = state_->sharing->CheckDelete(source.Key())) return error;
  if (source.parts.drive == target.parts.drive) {
    return state_->meta.MoveObject(NodeOf(source), NodeOf(target), source.host, target.host,
                                   /*durable=*/false);
  }
  if (WinError error = CopyFileBody(source, target, /*keep_creation=*/true)) return error;
  if (::unlink(source.host.c_str()) != 0) {
    WinError error = WinErrorFromErrno(errno);
    ::unlink(target.host.c_str());
    state_->meta.Remove(target.parts);
    return error;
  }
  state_->meta.Remove(source.parts);
  return kSuccess;
}

WinError SimFileSystem::Replace(const std::string& source, const std::string& target) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.Replace", source)) return fault;
  Located from;
  Located to;
  if (WinError error = Locate(source, &from)) return error;
  if (!from.exists) return MissingError(from);
  if (WinError error = Locate(target, &to)) return error;
  if (from.IsRoot() || to.IsRoot()) return kErrorAccessDenied;
  if (from.parts.drive != to.parts.drive) return platform::kErrorNotSameDevice;
  if (from.write_protected) return kErrorAccessDenied;
  bool same_object = to.exists && to.info.inode == from.info.inode && to.Key() == from.Key();
  if (!to.exists || same_object) {
    if (!to.exists && !ParentIsFolder(to)) return platform::kErrorPathNotFound;
    if (same_object) {
      to.host = to.host.substr(0, to.host.rfind('/') + 1) +
                HostName(to.parts.code_page, to.parts.components.back());
      if (to.host == from.host) return kSuccess;
    }
    if (from.info.is_folder) return MoveOneFolder(from, to);
  } else {
    if (to.info.is_folder || from.info.is_folder || IsReadOnly(to)) return kErrorAccessDenied;
    // NTFS does not replace a file that is open, whatever its opener shares.
    if (state_->sharing->AnyOpenAtOrBelow(to.Key())) return kErrorAccessDenied;
  }
  if (WinError error = state_->sharing->CheckDelete(from.Key())) return error;
  return state_->meta.MoveObject(NodeOf(from), NodeOf(to), from.host, to.host, /*durable=*/true);
}

WinError SimFileSystem::Move(const std::string& source, const std::string& target) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.Move", source)) return fault;
  Located from;
  Located to;
  if (WinError error = Locate(source, &from)) return error;
  if (!from.exists) return MissingError(from);
  if (WinError error = LocateNew(target, &to)) return error;
  if (from.IsRoot() || to.IsRoot()) return kErrorAccessDenied;
  // Renaming to the same object (a change of letter case only) is allowed.
  bool same_object = to.exists && to.info.inode == from.info.inode && to.Key() == from.Key();
  if (to.exists && !same_object) return platform::kErrorAlreadyExists;
  if (!to.exists && !ParentIsFolder(to)) return platform::kErrorPathNotFound;
  if (from.write_protected || to.write_protected) {
    return kErrorAccessDenied;
  }
  if (same_object) {
    // The host spelling of the last component changes; the rest stays as it is.
    to.host = to.host.substr(0, to.host.rfind('/') + 1) +
              HostName(to.parts.code_page, to.parts.components.back());
    if (to.host == from.host) return kSuccess;
  }
  return from.info.is_folder ? MoveOneFolder(from, to) : MoveOneFile(from, to);
}

}  // namespace qdw::sim
