#include "bench/small_files/step_recorder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

namespace qdw::bench {
namespace {

double Seconds(const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; }

// The second field of the thread's scheduler statistics: nanoseconds spent waiting to run.
double QueuedSeconds() {
  std::ifstream in("/proc/thread-self/schedstat");
  uint64_t running = 0;
  uint64_t waiting = 0;
  in >> running >> waiting;
  return waiting / 1e9;
}

// With QDW_BENCH_STEP_TIMELINE set, each step's beginning is appended to that file as
// "<CLOCK_MONOTONIC nanoseconds>\t<name>", to split a `perf record -k CLOCK_MONOTONIC`
// profile by step.
void NoteOnTimeline(const std::string& name) {
  static std::FILE* timeline = [] {
    const char* path = std::getenv("QDW_BENCH_STEP_TIMELINE");
    return path != nullptr ? std::fopen(path, "a") : nullptr;
  }();
  if (timeline == nullptr) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(timeline, "%lld\t%s\n",
               static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, name.c_str());
  std::fflush(timeline);
}

}  // namespace

const char* PortCallName(PortCall call) {
  static const char* const kNames[kPortCallKinds] = {
      "Open",   "ReadAttributes", "WriteAttributes", "Find",   "Copy", "Move",  "Replace",
      "Delete", "MakeFolder",     "RemoveFolder",    "other",  "Read", "Write", "Seek",
      "Size",   "Times",          "SetTimes",        "SetEnd", "Flush"};
  return kNames[static_cast<size_t>(call)];
}

uint64_t StepFigures::PortCalls() const {
  uint64_t total = 0;
  for (uint64_t count : calls) total += count;
  return total;
}

StepRecorder::Mark StepRecorder::Now() const {
  Mark mark;
  mark.wall = std::chrono::steady_clock::now();
  rusage self{};
  rusage children{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &children);
  mark.cpu = Seconds(self.ru_utime) + Seconds(self.ru_stime) + Seconds(children.ru_utime) +
             Seconds(children.ru_stime);
  mark.queued = QueuedSeconds();
  mark.syscalls = syscalls_.Read();
  return mark;
}

void StepRecorder::Close() {
  if (!open_) return;
  Mark now = Now();
  StepFigures& step = steps_[current_];
  step.wall_seconds += std::chrono::duration<double>(now.wall - started_.wall).count();
  step.cpu_seconds += now.cpu - started_.cpu;
  step.queued_seconds += now.queued - started_.queued;
  step.syscalls += now.syscalls - started_.syscalls;
  open_ = false;
}

void StepRecorder::Begin(const std::string& name) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Close();
  std::string mark = "/qdw-bench-step/" + name;
  for (char& c : mark) {
    if (c == ' ') c = '_';
  }
  ::access(mark.c_str(), F_OK);
  NoteOnTimeline(name);
  current_ = steps_.size();
  for (size_t i = 0; i < steps_.size(); ++i) {
    if (steps_[i].name == name) current_ = i;
  }
  if (current_ == steps_.size()) steps_.push_back(StepFigures{name});
  open_ = true;
  started_ = Now();
}

void StepRecorder::Finish() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (open_) NoteOnTimeline("(end)");
  Close();
}

std::chrono::steady_clock::time_point StepRecorder::Count(PortCall call, const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (rule_) rule_(*this, call, path);
  if (open_) ++steps_[current_].calls[static_cast<size_t>(call)];
  return std::chrono::steady_clock::now();
}

void StepRecorder::Spent(PortCall call, std::chrono::steady_clock::time_point began) {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (open_) steps_[current_].call_seconds[static_cast<size_t>(call)] += seconds;
}

std::string StepRecorder::current() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return open_ ? steps_[current_].name : std::string();
}

std::vector<StepFigures> StepRecorder::steps() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return steps_;
}

}  // namespace qdw::bench
