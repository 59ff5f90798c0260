// The batch runner the Windows port's CopyFiles and DeleteFiles use: every call made once, and
// with stop_at_failure nothing started after a failure and the results ending at the last call.
#include "platform/concurrent_calls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace qdw::platform {
namespace {

constexpr size_t kCalls = 200;
constexpr WinError kFailed = 5;

TEST(ConcurrentCallsTest, BatchesMakeEachCallOnceAndStopAfterAFailure) {
  for (bool stop : {false, true}) {
    for (size_t failing : {size_t{0}, size_t{57}, kCalls}) {  // kCalls: none fails
      SCOPED_TRACE(std::to_string(failing) + (stop ? ", stopping" : ""));
      std::vector<std::atomic<int>> made(kCalls);
      std::vector<WinError> results;
      RunBatchConcurrently(kCalls, stop, &results, [&](size_t i) {
        ++made[i];
        return i == failing ? kFailed : kSuccess;
      });
      const size_t expected_min = stop && failing < kCalls ? failing + 1 : kCalls;
      ASSERT_GE(results.size(), expected_min);
      if (!stop || failing == kCalls) {
        EXPECT_EQ(results.size(), kCalls);
      } else {
        // Each other thread may have had one call under way when the failure came.
        EXPECT_LE(results.size(), failing + ThreadsForCalls(kCalls));
      }
      for (size_t i = 0; i < kCalls; ++i) {
        const bool reported = i < results.size();
        // A call is made exactly when it is reported: the reported ones are a prefix.
        EXPECT_EQ(made[i].load(), reported ? 1 : 0) << i;
        if (reported) {
          EXPECT_EQ(results[i], i == failing ? kFailed : kSuccess) << i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace qdw::platform
