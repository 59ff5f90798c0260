// Where the suites find the stand-in programs built beside them.
#ifndef QDW_TESTS_PLATFORM_SIM_PROBE_H_
#define QDW_TESTS_PLATFORM_SIM_PROBE_H_

#include <unistd.h>

#include <string>

namespace qdw::testing {

// Host folder of the running test program (build/bin).
inline std::string TestBinaryFolder() {
  char self[4096];
  ssize_t length = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
  return path.substr(0, path.rfind('/'));
}

inline std::string ProbeProgram() { return TestBinaryFolder() + "/probe_program"; }

}  // namespace qdw::testing

#endif  // QDW_TESTS_PLATFORM_SIM_PROBE_H_
