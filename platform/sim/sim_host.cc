#include "platform/sim/sim_host.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/file_system.h"

namespace qdw::sim {
namespace {

constexpr int64_t kEpochTicks =
    static_cast<int64_t>(platform::kUnixEpochInFileTimeSeconds * platform::kTicksPerSecond);

bool FromStatx(const struct statx& st, HostInfo* info) {
  info->reparse = S_ISLNK(st.stx_mode);
  info->is_folder = S_ISDIR(st.stx_mode) || info->reparse;
  info->size = info->is_folder ? 0 : st.stx_size;
  info->inode = st.stx_ino;
  info->last_access = FileTimeFromUnix(st.stx_atime.tv_sec, st.stx_atime.tv_nsec);
  info->last_write = FileTimeFromUnix(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
  info->birth = (st.stx_mask & STATX_BTIME)
                    ? FileTimeFromUnix(st.stx_btime.tv_sec, st.stx_btime.tv_nsec)
                    : info->last_write;
  return true;
}

}  // namespace

bool StatHost(const std::string& host, HostInfo* info) {
  struct statx st;
  if (::statx(AT_FDCWD, host.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &st) !=
      0) {
    return false;
  }
  return FromStatx(st, info);
}

bool StatHostAt(int folder_fd, const std::string& name, HostInfo* info) {
  struct statx st;
  if (::statx(folder_fd, name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &st) !=
      0) {
    return false;
  }
  return FromStatx(st, info);
}

bool StatHostFd(int fd, HostInfo* info) {
  struct statx st;
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) return false;
  return FromStatx(st, info);
}

platform::FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
  int64_t ticks =
      seconds * static_cast<int64_t>(platform::kTicksPerSecond) + nanoseconds / 100 + kEpochTicks;
  return platform::FileTime{ticks < 0 ? 0 : static_cast<uint64_t>(ticks)};
}

void FileTimeToUnix(platform::FileTime time, int64_t* seconds, int64_t* nanoseconds) {
  int64_t ticks = static_cast<int64_t>(time.ticks) - kEpochTicks;
  int64_t per_second = static_cast<int64_t>(platform::kTicksPerSecond);
  *seconds = ticks / per_second;
  int64_t rest = ticks % per_second;
  if (rest < 0) {
    rest += per_second;
    *seconds -= 1;
  }
  *nanoseconds = rest * 100;
}

platform::WinError WinErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return platform::kErrorFileNotFound;
    case ENOTDIR:
      return platform::kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return platform::kErrorAccessDenied;
    case EEXIST:
      return platform::kErrorAlreadyExists;
    case ENOTEMPTY:
      return platform::kErrorDirNotEmpty;
    case ENOSPC:
    case EDQUOT:
      return platform::kErrorDiskFull;
    case EXDEV:
      return platform::kErrorNotSameDevice;
    case ENAMETOOLONG:
      return platform::kErrorFilenameExcedRange;
    case ENOMEM:
      return platform::kErrorNotEnoughMemory;
    case EBUSY:
    case ETXTBSY:
      return platform::kErrorSharingViolation;
    default:
      return platform::kErrorWriteFault;
  }
}

}  // namespace qdw::sim
