#include "platform/sim/sim_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sim/host_creation_time.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/watched_stat.h"

namespace qdw::sim {

using platform::kSuccess;
using platform::WinError;

SimFile::SimFile(std::shared_ptr<FileSystemState> state, char drive, std::string key,
                 SidecarNode node, int fd, uint32_t access, uint64_t ticket)
    : state_(std::move(state)),
      drive_(drive),
      key_(std::move(key)),
      node_(std::move(node)),
      fd_(fd),
      access_(access),
      ticket_(ticket) {}

SimFile::~SimFile() {
  ::close(fd_);
  state_->sharing->Release(key_, ticket_);
}

WinError SimFile::Read(void* buffer, uint32_t size, uint32_t* read) {
  *read = 0;
  if (!(access_ & platform::kGenericRead)) return platform::kErrorAccessDenied;
  if (WinError fault = state_->machine.faults().Check("File.Read", key_)) return fault;
  auto* bytes = static_cast<char*>(buffer);
  while (*read < size) {
    ssize_t n = ::read(fd_, bytes + *read, size - *read);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return platform::kErrorReadFault;
    if (n == 0) break;
    *read += static_cast<uint32_t>(n);
  }
  return kSuccess;
}

WinError SimFile::Write(const void* buffer, uint32_t size, uint32_t* written) {
  const WatchedStatCall call;
  *written = 0;
  if (!(access_ & platform::kGenericWrite)) return platform::kErrorAccessDenied;
  if (WinError fault = state_->machine.faults().Check("File.Write", key_)) return fault;
  if (WinError full = state_->machine.faults().ChargeWrite(drive_, size)) return full;
  const auto* bytes = static_cast<const char*>(buffer);
  while (*written < size) {
    ssize_t n = ::write(fd_, bytes + *written, size - *written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno == ENOSPC ? platform::kErrorDiskFull : platform::kErrorWriteFault;
    *written += static_cast<uint32_t>(n);
  }
  return kSuccess;
}

WinError SimFile::Seek(int64_t distance, platform::SeekOrigin origin, uint64_t* position) {
  int whence = origin == platform::SeekOrigin::kBegin     ? SEEK_SET
               : origin == platform::SeekOrigin::kCurrent ? SEEK_CUR
                                                          : SEEK_END;
  off_t result = ::lseek(fd_, static_cast<off_t>(distance), whence);
  if (result < 0) return platform::kErrorInvalidParameter;  // before the start, as Windows says
  if (position) *position = static_cast<uint64_t>(result);
  return kSuccess;
}

WinError SimFile::Size(uint64_t* size) {
  struct stat st;
  if (::fstat(fd_, &st) != 0) return platform::kErrorInvalidHandle;
  *size = static_cast<uint64_t>(st.st_size);
  return kSuccess;
}

WinError SimFile::Times(platform::FileTimes* times) {
  HostInfo info;
  if (!StatHostFd(fd_, &info)) return platform::kErrorInvalidHandle;
  ObjectMeta meta = state_->meta.Read(node_);
  times->creation = meta.creation ? platform::FileTime{*meta.creation} : HostCreation(fd_, info);
  times->last_access = info.last_access;
  times->last_write = info.last_write;
  return kSuccess;
}

WinError SimFile::SetTimes(const platform::FileTime* creation,
                           const platform::FileTime* last_access,
                           const platform::FileTime* last_write) {
  const WatchedStatCall call;
  if (!(access_ & platform::kGenericWrite)) return platform::kErrorAccessDenied;
  if (WinError fault = state_->machine.faults().Check("File.SetTimes", key_)) return fault;
  struct timespec host_times[2];
  const platform::FileTime* given[2] = {last_access, last_write};
  for (int i = 0; i < 2; ++i) {
    if (given[i] == nullptr) {
      host_times[i].tv_sec = 0;
      host_times[i].tv_nsec = UTIME_OMIT;
      continue;
    }
    int64_t seconds = 0;
    int64_t nanoseconds = 0;
    FileTimeToUnix(*given[i], &seconds, &nanoseconds);
    host_times[i].tv_sec = static_cast<time_t>(seconds);
    host_times[i].tv_nsec = static_cast<long>(nanoseconds);
  }
  if (::futimens(fd_, host_times) != 0) return WinErrorFromErrno(errno);
  if (creation != nullptr) {
    // Kept on the host file when it can be: no sidecar to create for a plain stamp. A sidecar's
    // creation time would win over it, so an older one goes.
    ObjectMeta meta = state_->meta.Read(node_);
    if (StoreHostCreation(fd_, creation->ticks)) {
      if (!meta.creation) return kSuccess;
      meta.creation.reset();
    } else {
      meta.creation = creation->ticks;
    }
    state_->meta.Write(node_, meta);
  }
  return kSuccess;
}

WinError SimFile::SetEnd() {
  if (!(access_ & platform::kGenericWrite)) return platform::kErrorAccessDenied;
  if (WinError fault = state_->machine.faults().Check("File.SetEnd", key_)) return fault;
  off_t position = ::lseek(fd_, 0, SEEK_CUR);
  struct stat st;
  if (position < 0 || ::fstat(fd_, &st) != 0) return platform::kErrorInvalidHandle;
  if (position > st.st_size) {
    WinError full =
        state_->machine.faults().ChargeWrite(drive_, static_cast<uint64_t>(position - st.st_size));
    if (full) return full;
  }
  if (::ftruncate(fd_, position) != 0) return WinErrorFromErrno(errno);
  return kSuccess;
}

WinError SimFile::Flush() {
  if (!(access_ & platform::kGenericWrite)) return platform::kErrorAccessDenied;
  if (WinError fault = state_->machine.faults().Check("File.Flush", key_)) return fault;
  return ::fsync(fd_) == 0 ? kSuccess : WinErrorFromErrno(errno);
}

}  // namespace qdw::sim
