// Facts about host files in the terms the Windows ports use.
#ifndef QDW_PLATFORM_SIM_SIM_HOST_H_
#define QDW_PLATFORM_SIM_SIM_HOST_H_

#include <cstdint>
#include <string>

#include "platform/file_time.h"
#include "platform/win_error.h"

namespace qdw::sim {

struct HostInfo {
  bool is_folder = false;  // also for a junction
  // A junction (a host symbolic link holding the Windows path of its target).
  bool reparse = false;
  uint64_t size = 0;
  uint64_t inode = 0;
  platform::FileTime last_access;
  platform::FileTime last_write;
  platform::FileTime birth;  // the host's creation time, or the last write when it has none
};

// False when nothing is at `host` (or it cannot be reached). A symbolic link is never followed:
// it is a junction of the machine.
bool StatHost(const std::string& host, HostInfo* info);
bool StatHostFd(int fd, HostInfo* info);
// StatHost of `name` in the open host folder `folder_fd`.
bool StatHostAt(int folder_fd, const std::string& name, HostInfo* info);

platform::FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
// Seconds and nanoseconds since the Unix epoch (negative before 1970).
void FileTimeToUnix(platform::FileTime time, int64_t* seconds, int64_t* nanoseconds);

// The Windows error for a failed host call (errno).
platform::WinError WinErrorFromErrno(int error);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_HOST_H_
