#include "platform/sim/sim_host_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/sim/host_creation_time.h"
#include "platform/sim/sim_host.h"

namespace qdw::sim {
namespace {

using platform::kSuccess;
using platform::WinError;

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

WinError CopyData(int in, int out, const FaultInjector* charger, char drive) {
  std::vector<char> buffer;
  struct stat st;
  if (::fstat(in, &st) != 0) return platform::kErrorReadFault;
  // The file was opened for this copy, so it is read from its start.
  uint64_t left = static_cast<uint64_t>(st.st_size);
  while (left > 0) {
    size_t chunk = left < kCopyChunk ? static_cast<size_t>(left) : kCopyChunk;
    if (charger != nullptr) {
      if (WinError full = charger->ChargeWrite(drive, chunk)) return full;
    }
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

struct timespec UnixTime(platform::FileTime time) {
  int64_t seconds = 0;
  int64_t nanoseconds = 0;
  FileTimeToUnix(time, &seconds, &nanoseconds);
  return {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)};
}

}  // namespace

HostCopy::~HostCopy() {
  if (source_fd >= 0) ::close(source_fd);
}

WinError OpenCopySource(const std::string& source_host, HostCopy* copy) {
  copy->source_fd = ::open(source_host.c_str(), O_RDONLY | O_CLOEXEC);
  return copy->source_fd < 0 ? WinErrorFromErrno(errno) : kSuccess;
}

WinError CopyOnHost(const HostCopy& copy, const FaultInjector* charger, char drive) {
  Descriptor out(::open(copy.target_host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (out.get() < 0) return WinErrorFromErrno(errno);
  // A copy over an existing file gets a new creation time; a new file has none to drop.
  if (copy.target_exists) ForgetHostCreation(out.get());
  WinError result = CopyData(copy.source_fd, out.get(), charger, drive);
  if (result == kSuccess) {
    const struct timespec times[2] = {UnixTime(copy.last_access), UnixTime(copy.last_write)};
    if (::futimens(out.get(), times) != 0) result = WinErrorFromErrno(errno);
  }
  // A copy that did not finish leaves no partial file behind.
  if (result != kSuccess) ::unlink(copy.target_host.c_str());
  return result;
}

}  // namespace qdw::sim
