#include "platform/sim/host_creation_time.h"

#include <sys/xattr.h>

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

}  // namespace qdw::sim
