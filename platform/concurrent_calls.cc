#include "platform/concurrent_calls.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace qdw::platform {
namespace {

// Below this many calls a thread's start costs more than it saves.
constexpr size_t kCallsPerExtraThread = 16;
constexpr size_t kMaxThreads = 4;

}  // namespace

size_t ThreadsForCalls(size_t count) {
  const size_t processors = std::max<size_t>(1, std::thread::hardware_concurrency());
  const size_t worth = std::max<size_t>(1, count / kCallsPerExtraThread);
  return std::min({processors, worth, kMaxThreads});
}

void RunConcurrently(size_t count, size_t threads, const std::function<void(size_t)>& work) {
  std::atomic<size_t> next{0};
  auto drain = [&] {
    for (size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> helpers;
  const size_t extra = std::min(threads, count) > 1 ? std::min(threads, count) - 1 : 0;
  helpers.reserve(extra);
  for (size_t t = 0; t < extra; ++t) helpers.emplace_back(drain);
  drain();
  for (std::thread& helper : helpers) helper.join();
}

void RunBatchConcurrently(size_t count, bool stop_at_failure, std::vector<WinError>* results,
                          const std::function<WinError(size_t)>& call) {
  results->assign(count, kSuccess);
  std::vector<char> made(count, 0);
  std::atomic<bool> failed{false};
  RunConcurrently(count, ThreadsForCalls(count), [&](size_t i) {
    if (stop_at_failure && failed.load()) return;
    made[i] = 1;
    (*results)[i] = call(i);
    if ((*results)[i] != kSuccess) failed.store(true);
  });
  if (!stop_at_failure) return;
  size_t end = count;
  while (end > 0 && made[end - 1] == 0) --end;
  results->resize(end);
}

}  // namespace qdw::platform
