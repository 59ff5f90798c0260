#include "bench/small_files/syscall_counter.h"

#include <linux/perf_event.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

namespace qdw::bench {
namespace {

constexpr const char* kTracepointIds[] = {
    "/sys/kernel/tracing/events/raw_syscalls/sys_enter/id",
    "/sys/kernel/debug/tracing/events/raw_syscalls/sys_enter/id"};

long TracepointId() {
  for (const char* path : kTracepointIds) {
    std::ifstream in(path);
    long id = -1;
    if (in >> id) return id;
  }
  return -1;
}

}  // namespace

SyscallCounter::SyscallCounter() {
  const long id = TracepointId();
  if (id < 0) return;
  perf_event_attr attr;
  std::memset(&attr, 0, sizeof(attr));
  attr.size = sizeof(attr);
  attr.type = PERF_TYPE_TRACEPOINT;
  attr.config = static_cast<uint64_t>(id);
  attr.inherit = 1;
  attr.sample_period = 0;
  fd_ = static_cast<int>(::syscall(SYS_perf_event_open, &attr, 0, -1, -1, PERF_FLAG_FD_CLOEXEC));
}

SyscallCounter::~SyscallCounter() {
  if (fd_ >= 0) ::close(fd_);
}

uint64_t SyscallCounter::Read() const {
  uint64_t count = 0;
  if (fd_ < 0 || ::read(fd_, &count, sizeof(count)) != sizeof(count)) return 0;
  return count;
}

}  // namespace qdw::bench
