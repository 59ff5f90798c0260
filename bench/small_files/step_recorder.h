// Where a run's time goes, step by step: wall and CPU time, port calls by kind and host
// system calls of each named step. A rule that sees every port call decides where one step
// ends and the next begins, so the engine needs no hooks of its own.
#ifndef QDW_BENCH_SMALL_FILES_STEP_RECORDER_H_
#define QDW_BENCH_SMALL_FILES_STEP_RECORDER_H_

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "bench/small_files/syscall_counter.h"

namespace qdw::bench {

// The port calls that are counted one by one: the file-system port and open files.
enum class PortCall : size_t {
  kOpen,
  kReadAttributes,
  kWriteAttributes,
  kFind,
  kCopy,
  kMove,
  kReplace,
  kDelete,
  kMakeFolder,
  kRemoveFolder,
  kOtherFileSystem,  // free space, drive kind, volume name, DACLs, full paths, temporary names
  kRead,
  kWrite,
  kSeek,
  kSize,
  kTimes,
  kSetTimes,
  kSetEnd,
  kFlush,
  kKinds,
};
inline constexpr size_t kPortCallKinds = static_cast<size_t>(PortCall::kKinds);
const char* PortCallName(PortCall call);

struct StepFigures {
  std::string name;
  double wall_seconds = 0;
  double cpu_seconds = 0;  // this process and the programs it waited for
  // Time the main thread was ready to run but waited for a processor (a loaded machine).
  double queued_seconds = 0;
  uint64_t syscalls = 0;  // host system calls of this process
  std::array<uint64_t, kPortCallKinds> calls{};
  std::array<double, kPortCallKinds> call_seconds{};  // wall time inside the calls
  uint64_t PortCalls() const;
};

class StepRecorder {
 public:
  // Sees every port call before it is counted; may Begin() another step.
  using Rule = std::function<void(StepRecorder&, PortCall, const std::string& path)>;

  explicit StepRecorder(const SyscallCounter& syscalls) : syscalls_(syscalls) {}
  void set_rule(Rule rule) { rule_ = std::move(rule); }

  // Ends the current step and begins `step`; a name met again adds to its earlier figures.
  // Each beginning also leaves a mark for a system-call trace: an access() of
  // "/qdw-bench-step/<name>".
  void Begin(const std::string& step);
  // Ends the current step.
  void Finish();
  // Safe from any thread. Count() comes before the call and returns when it began; Spent()
  // after it, with that time.
  std::chrono::steady_clock::time_point Count(PortCall call, const std::string& path);
  void Spent(PortCall call, std::chrono::steady_clock::time_point began);
  std::string current() const;
  std::vector<StepFigures> steps() const;

 private:
  struct Mark {
    std::chrono::steady_clock::time_point wall;
    double cpu = 0;
    double queued = 0;
    uint64_t syscalls = 0;
  };
  Mark Now() const;
  void Close();

  const SyscallCounter& syscalls_;
  Rule rule_;
  mutable std::recursive_mutex mutex_;
  std::vector<StepFigures> steps_;
  size_t current_ = 0;
  bool open_ = false;
  Mark started_;
};

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_STEP_RECORDER_H_
