// The host's part of a file copy on the stand-in machine, apart from the machine's bookkeeping
// (checks, sharing, sidecars), so that a batch can run several at once: it touches host files
// and nothing else of the machine.
#ifndef QDW_PLATFORM_SIM_SIM_HOST_COPY_H_
#define QDW_PLATFORM_SIM_SIM_HOST_COPY_H_

#include <string>

#include "platform/file_time.h"
#include "platform/sim/fault_injector.h"
#include "platform/win_error.h"

namespace qdw::sim {

// Bytes a chunk of a copy charges to the disk-full budget at a time.
inline constexpr uint64_t kCopyChunk = 1 << 20;

struct HostCopy {
  HostCopy() = default;
  HostCopy(const HostCopy&) = delete;
  HostCopy& operator=(const HostCopy&) = delete;
  ~HostCopy();

  int source_fd = -1;  // open for reading; closed with this object
  std::string target_host;
  bool target_exists = false;  // a copy over a file gives it a new creation time
  platform::FileTime last_access;
  platform::FileTime last_write;
};

// Opens the source for `copy`: kSuccess, or the error its opening gave.
platform::WinError OpenCopySource(const std::string& source_host, HostCopy* copy);

// Writes the target with the source's bytes and times. With `charger` each chunk is charged to
// `drive`'s disk-full budget before it is written; without, the caller charged the whole size.
// A copy that fails leaves no target file.
platform::WinError CopyOnHost(const HostCopy& copy, const FaultInjector* charger, char drive);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_HOST_COPY_H_
