// A program for the process, shell and mutex suites to start, built for each port. On the
// stand-in it runs on the machine named by QDW_MACHINE, like every program the machine starts:
//   probe_program exit N          ends with exit code N
//   probe_program sleep MS        sleeps, then ends with 0
//   probe_program args FILE A...  writes its arguments, one a line, to FILE
//   probe_program mutex NAME      ends with 0 when it created the mutex NAME first,
//                                 183 when it already existed, 1 on another failure
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/platform.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "sleep") == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "args") == 0) {
    std::ofstream out(argv[2], std::ios::binary);  // the same lines on every system
    for (int i = 3; i < argc; ++i) out << argv[i] << "\n";
    // Only the stand-in names a machine; its programs must run on it.
    if (const char* machine = std::getenv("QDW_MACHINE")) out << "QDW_MACHINE=" << machine << "\n";
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "mutex") == 0) {
    std::unique_ptr<qdw::platform::NamedMutex> mutex;
    qdw::platform::WinError result =
        qdw::platform::DefaultPlatform().mutexes().Create(argv[2], true, &mutex);
    if (result == qdw::platform::kSuccess) return 0;
    return result == qdw::platform::kErrorAlreadyExists ? 183 : 1;
  }
  return 2;
}
