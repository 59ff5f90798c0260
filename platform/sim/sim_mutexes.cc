// Named mutexes of the stand-in machine. A handle holds a shared flock() on
// mutexes/<name>.lock in the machine folder for as long as it lives, so the mutex exists while
// any process of the machine has a handle open, and vanishes with the last one (also when a
// process dies). Whether it already existed is decided under the machine lock, so two
// processes creating it at once cannot both believe they were first.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/mutexes.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"

namespace qdw::sim {
namespace {

using platform::WinError;

// Handles of this process per mutex (by lock file, so two machines in one process stay apart).
std::mutex& HandleMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<std::string, int>& HandleCounts() {
  static std::map<std::string, int> counts;
  return counts;
}

// The name as a file name: "Global\" and "Local\" name the one session of the machine, and
// characters a host file name cannot hold are escaped. Names keep their case, as on Windows.
std::string LockFileName(const std::string& name) {
  std::string text = name;
  for (const char* prefix : {"Global\\", "Local\\"}) {
    std::string p = prefix;
    if (text.compare(0, p.size(), p) == 0) text = text.substr(p.size());
  }
  std::string file;
  for (unsigned char c : text) {
    if (c == '/' || c == '\\' || c == '%' || c < 32 || (c == '.' && file.empty())) {
      char escaped[4];
      std::snprintf(escaped, sizeof(escaped), "%%%02X", c);
      file += escaped;
    } else {
      file += static_cast<char>(c);
    }
  }
  return file + ".lock";
}

class SimNamedMutex : public platform::NamedMutex {
 public:
  SimNamedMutex(std::string lock_file, int fd) : lock_file_(std::move(lock_file)), fd_(fd) {}
  ~SimNamedMutex() override {
    std::lock_guard<std::mutex> lock(HandleMutex());
    if (--HandleCounts()[lock_file_] == 0) HandleCounts().erase(lock_file_);
    ::close(fd_);  // drops the shared lock
  }
  void Release() override {}

 private:
  std::string lock_file_;
  int fd_;
};

class SimMutexes : public platform::Mutexes {
 public:
  explicit SimMutexes(SimMachine& machine) : machine_(machine) {}

  WinError Create(const std::string& name, bool /*initial_owner*/,
                  std::unique_ptr<platform::NamedMutex>* out) override {
    out->reset();
    if (WinError fault = machine_.faults().Check("Mutexes.Create", name)) return fault;
    if (name.empty() || name.size() > 260) return platform::kErrorInvalidName;
    std::string folder = machine_.store().HostPath("mutexes");
    ::mkdir(folder.c_str(), 0755);
    std::string path = folder + "/" + LockFileName(name);
    WinError result = platform::kSuccess;
    int fd = -1;
    std::lock_guard<std::mutex> handles(HandleMutex());
    machine_.store().WithLock([&] {
      fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
      if (fd < 0) return;
      bool held_here = HandleCounts().count(path) != 0;
      bool held_elsewhere = false;
      if (!held_here) {
        held_elsewhere = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
      }
      if (held_here || held_elsewhere) result = platform::kErrorAlreadyExists;
      ::flock(fd, LOCK_SH);
    });
    if (fd < 0) return platform::kErrorAccessDenied;
    ++HandleCounts()[path];
    *out = std::make_unique<SimNamedMutex>(path, fd);
    return result;
  }

 private:
  SimMachine& machine_;
};

}  // namespace

std::unique_ptr<platform::Mutexes> NewSimMutexes(SimMachine& machine) {
  return std::make_unique<SimMutexes>(machine);
}

}  // namespace qdw::sim
