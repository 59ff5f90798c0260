// Counts the host system calls of this process and of the threads it starts afterwards,
// through the kernel's raw_syscalls:sys_enter tracepoint (perf_event_open). A thread's calls
// join the count when it ends.
#ifndef QDW_BENCH_SMALL_FILES_SYSCALL_COUNTER_H_
#define QDW_BENCH_SMALL_FILES_SYSCALL_COUNTER_H_

#include <cstdint>

namespace qdw::bench {

class SyscallCounter {
 public:
  SyscallCounter();
  ~SyscallCounter();
  SyscallCounter(const SyscallCounter&) = delete;
  SyscallCounter& operator=(const SyscallCounter&) = delete;

  // False when the kernel does not let this process count (no tracefs, perf not permitted).
  bool available() const { return fd_ >= 0; }
  // Calls so far; 0 when not available.
  uint64_t Read() const;

 private:
  int fd_ = -1;
};

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_SYSCALL_COUNTER_H_
