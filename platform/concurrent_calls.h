// Host calls of a batch shared among a few threads: a small file's copy or delete is mostly the
// operating system's own work, which several processors can do at once.
#ifndef QDW_PLATFORM_CONCURRENT_CALLS_H_
#define QDW_PLATFORM_CONCURRENT_CALLS_H_

#include <cstddef>
#include <functional>
#include <vector>

#include "platform/win_error.h"

namespace qdw::platform {

// Threads worth starting for `count` independent calls, the caller's own included: one for a
// handful, otherwise one a processor, at most four.
size_t ThreadsForCalls(size_t count);

// Runs work(0) to work(count - 1), each once, on `threads` threads, the caller's among them
// (one: all on the caller's), and returns when every call has ended. Items are handed out in
// their order; `work` must not throw.
void RunConcurrently(size_t count, size_t threads, const std::function<void(size_t)>& work);

// A batch of a port whose single calls may run on several threads at once: `(*results)[i]` is
// call(i), made on ThreadsForCalls(count) threads. With `stop_at_failure` no call starts after
// one has failed, and `results` ends after the last call made.
void RunBatchConcurrently(size_t count, bool stop_at_failure, std::vector<WinError>* results,
                          const std::function<WinError(size_t)>& call);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_CONCURRENT_CALLS_H_
