// Running a change in a child process, as another program of the stand-in machine would: the
// caches that follow the host through inotify must see it without being told.
#ifndef QDW_TESTS_PLATFORM_IN_ANOTHER_PROCESS_H_
#define QDW_TESTS_PLATFORM_IN_ANOTHER_PROCESS_H_

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace qdw::testing {

inline void InAnotherProcess(const std::function<void()>& change) {
  pid_t child = ::fork();
  if (child == 0) {
    change();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
}

}  // namespace qdw::testing

#endif  // QDW_TESTS_PLATFORM_IN_ANOTHER_PROCESS_H_
