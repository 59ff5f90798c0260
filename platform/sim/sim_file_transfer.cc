// Copying and moving files and folders on the stand-in machine.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/sim/host_creation_time.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/watched_stat.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::kErrorAccessDenied;
using platform::kSuccess;
using platform::WinError;

namespace {

constexpr size_t kChunk = 1 << 20;

// Releases a sharing ticket when the copy or move is over.
class SharingHold {
 public:
  SharingHold(SharingTable& table, std::string key) : table_(table), key_(std::move(key)) {}
  ~SharingHold() {
    if (ticket_ != 0) table_.Release(key_, ticket_);
  }
  WinError Acquire(uint32_t access, uint32_t share) {
    return table_.Acquire(key_, access, share, &ticket_);
  }

 private:
  SharingTable& table_;
  std::string key_;
  uint64_t ticket_ = 0;
};

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

bool IsAtOrBelow(const std::string& key, const std::string& folder_key) {
  return key == folder_key ||
         (key.size() > folder_key.size() && key.compare(0, folder_key.size(), folder_key) == 0 &&
          key[folder_key.size()] == '\\');
}

}  // namespace

WinError SimFileSystem::CopyData(int in, int out, char target_drive) const {
  std::vector<char> buffer;
  struct stat st;
  if (::fstat(in, &st) != 0) return platform::kErrorReadFault;
  // The file was opened for this copy, so it is read from its start.
  uint64_t left = static_cast<uint64_t>(st.st_size);
  while (left > 0) {
    size_t chunk = left < kChunk ? static_cast<size_t>(left) : kChunk;
    if (WinError full = machine_.faults().ChargeWrite(target_drive, chunk)) return full;
    ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
    if (copied < 0 && errno == EINTR) continue;
    if (copied < 0) {
      // Host file systems without copy_file_range: plain reads and writes.
      buffer.resize(chunk);
      ssize_t n = ::read(in, buffer.data(), chunk);
      if (n == 0) return kSuccess;  // the source shrank under us
      if (n < 0) return platform::kErrorReadFault;
      for (ssize_t done = 0; done < n;) {
        ssize_t w = ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return errno == ENOSPC ? platform::kErrorDiskFull : platform::kErrorWriteFault;
        done += w;
      }
      left -= static_cast<uint64_t>(n);
    } else if (copied == 0) {
      return kSuccess;  // the source shrank under us
    } else {
      left -= static_cast<uint64_t>(copied);
    }
  }
  return kSuccess;
}

WinError SimFileSystem::CopyFileBody(const Located& source, const Located& target,
                                     bool keep_creation) const {
  Descriptor in(::open(source.host.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return WinErrorFromErrno(errno);
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
  const SidecarNode target_node = NodeOf(target);
  state_->meta.Remove(target_node);
  if (!target_meta.IsDefault()) state_->meta.Write(target_node, target_meta);
  Descriptor out(::open(target.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (out.get() < 0) {
    int error = errno;
    state_->meta.Remove(target_node);
    return WinErrorFromErrno(error);
  }
  // A copy over an existing file gets a new creation time; a new file has none to drop.
  if (target.exists) ForgetHostCreation(out.get());
  WinError result = CopyData(in.get(), out.get(), target.parts.drive);
  if (result == kSuccess) {
    int64_t seconds = 0;
    int64_t nanoseconds = 0;
    struct timespec times[2];
    FileTimeToUnix(source.info.last_access, &seconds, &nanoseconds);
    times[0] = {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)};
    FileTimeToUnix(source.info.last_write, &seconds, &nanoseconds);
    times[1] = {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)};
    if (::futimens(out.get(), times) != 0) result = WinErrorFromErrno(errno);
  }
  if (result != kSuccess) {
    // A copy that did not finish leaves no partial file behind.
    ::unlink(target.host.c_str());
    state_->meta.Remove(target_node);
    return result;
  }
  return kSuccess;
}

WinError SimFileSystem::Copy(const std::string& source, const std::string& target,
                             bool fail_if_exists) {
  const WatchedStatCall call;
  if (WinError fault = machine_.faults().Check("FileSystem.Copy", source)) return fault;
  Located from;
  Located to;
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
  SharingHold reading(*state_->sharing, from.Key());
  if (WinError error =
          reading.Acquire(platform::kGenericRead, platform::kShareRead | platform::kShareDelete)) {
    return error;
  }
  SharingHold writing(*state_->sharing, to.Key());
  if (WinError error = writing.Acquire(platform::kGenericWrite, 0)) return error;
  return CopyFileBody(from, to, /*keep_creation=*/false);
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
