#include "platform/sim/host_creation_time.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace qdw::sim {
namespace {

constexpr char kAttributeName[] = "user.qdw.creation";

platform::FileTime Decode(ssize_t size, const uint8_t* bytes, const HostInfo& info) {
  if (size != sizeof(uint64_t)) return info.birth;  // absent or not ours
  uint64_t ticks = 0;
  for (int i = 7; i >= 0; --i) ticks = (ticks << 8) | bytes[i];
  return platform::FileTime{ticks};
}

// getxattrat(2), Linux 6.13 and later; the C library has no wrapper for it yet, and the number
// is the same on every architecture.
constexpr long kGetxattratCall = 464;
struct XattrArgs {
  uint64_t value;
  uint32_t size;
  uint32_t flags;
};
// Set once the kernel shows it has no such call: every later question walks the path.
std::atomic<bool> g_no_getxattrat{false};

// As lgetxattr(2) of the attribute of `name` in `folder_fd`, whose host path is `folder_host`
// (spelt out only for kernels without getxattrat).
ssize_t GetAttributeAt(int folder_fd, const std::string& folder_host, const std::string& name,
                       uint8_t* bytes, size_t size) {
  if (!g_no_getxattrat.load(std::memory_order_relaxed)) {
    XattrArgs args{reinterpret_cast<uintptr_t>(bytes), static_cast<uint32_t>(size), 0};
    long result = ::syscall(kGetxattratCall, folder_fd, name.c_str(), AT_SYMLINK_NOFOLLOW,
                            kAttributeName, &args, sizeof(args));
    // A system-call filter may refuse a call it does not know with EPERM instead of ENOSYS.
    if (result >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<ssize_t>(result);
  }
  const std::string path = folder_host + "/" + name;
  ssize_t result = ::lgetxattr(path.c_str(), kAttributeName, bytes, size);
  if (result >= 0 || errno == ENODATA) g_no_getxattrat.store(true, std::memory_order_relaxed);
  return result;
}

}  // namespace

bool StoreHostCreation(int fd, uint64_t ticks) {
  uint8_t bytes[sizeof(uint64_t)];
  for (size_t i = 0; i < sizeof(bytes); ++i) bytes[i] = static_cast<uint8_t>(ticks >> (8 * i));
  return ::fsetxattr(fd, kAttributeName, bytes, sizeof(bytes), 0) == 0;
}

void ForgetHostCreation(int fd) { ::fremovexattr(fd, kAttributeName); }

platform::FileTime HostCreation(int fd, const HostInfo& info) {
  uint8_t bytes[sizeof(uint64_t)];
  return Decode(::fgetxattr(fd, kAttributeName, bytes, sizeof(bytes)), bytes, info);
}

platform::FileTime HostCreation(const std::string& host, const HostInfo& info) {
  uint8_t bytes[sizeof(uint64_t)];
  return Decode(::lgetxattr(host.c_str(), kAttributeName, bytes, sizeof(bytes)), bytes, info);
}

platform::FileTime HostCreationAt(int folder_fd, const std::string& folder_host,
                                  const std::string& name, const HostInfo& info) {
  uint8_t bytes[sizeof(uint64_t)];
  return Decode(GetAttributeAt(folder_fd, folder_host, name, bytes, sizeof(bytes)), bytes, info);
}

}  // namespace qdw::sim
