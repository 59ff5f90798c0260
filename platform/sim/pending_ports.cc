// Ports of the stand-in machine that are not built yet: every call fails with
// kErrorNotSupported (or the interface's failure value), so a caller sees a clear refusal
// instead of a missing symbol. Each factory leaves this file when its real port lands.
#include <memory>

#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"

namespace qdw::sim {
namespace {

using platform::kErrorNotSupported;
using platform::WinError;

class PendingLibraries : public platform::Libraries {
 public:
  WinError Load(const std::string&, std::unique_ptr<platform::Library>*) override {
    return platform::kErrorModNotFound;
  }
};

class PendingMutexes : public platform::Mutexes {
 public:
  WinError Create(const std::string&, bool, std::unique_ptr<platform::NamedMutex>*) override {
    return kErrorNotSupported;
  }
};

class PendingSystemInfo : public platform::SystemInfo {
 public:
  platform::OsVersion Version() override { return {}; }
  WinError ComputerName(std::string*) override { return kErrorNotSupported; }
  WinError UserName(std::string*) override { return kErrorNotSupported; }
  platform::FileTime Now() override { return {}; }
  platform::FileTime UtcToLocal(platform::FileTime utc) override { return utc; }
  platform::FileTime LocalToUtc(platform::FileTime local) override { return local; }
  uint32_t ThreadLocale() override { return 1033; }
  void Sleep(uint32_t) override {}
  uint64_t TickCount() override { return 0; }
  void DebugOutput(const std::string&) override {}
  bool Environment(const std::string&, std::string*) override { return false; }
};

class PendingShell : public platform::Shell {
 public:
  WinError SpecialFolder(int, std::string*) override { return kErrorNotSupported; }
  WinError WindowsFolder(std::string*) override { return kErrorNotSupported; }
  WinError SystemFolder(std::string*) override { return kErrorNotSupported; }
  std::string ExpandEnvironment(const std::string& text) override { return text; }
  WinError Execute(const std::string&, const std::string&, const std::string&, int,
                   std::unique_ptr<platform::ProcessHandle>*) override {
    return kErrorNotSupported;
  }
  bool MakeSureDirectoryPathExists(const std::string&) override { return false; }
};

class PendingProcesses : public platform::Processes {
 public:
  WinError LoadProcessStatusApi(std::unique_ptr<platform::ProcessStatusApi>*) override {
    return platform::kErrorModNotFound;
  }
  WinError LoadToolHelpApi(bool, std::unique_ptr<platform::ToolHelpApi>*) override {
    return platform::kErrorModNotFound;
  }
  WinError Start(const std::string&, const std::string&, bool,
                 std::unique_ptr<platform::ProcessHandle>*) override {
    return kErrorNotSupported;
  }
  uint32_t CurrentProcessId() override { return 0; }
};

}  // namespace

std::unique_ptr<platform::Libraries> NewSimLibraries(SimMachine&) {
  return std::make_unique<PendingLibraries>();
}
std::unique_ptr<platform::Mutexes> NewSimMutexes(SimMachine&) {
  return std::make_unique<PendingMutexes>();
}
std::unique_ptr<platform::SystemInfo> NewSimSystemInfo(SimMachine&) {
  return std::make_unique<PendingSystemInfo>();
}
std::unique_ptr<platform::Shell> NewSimShell(SimMachine&) {
  return std::make_unique<PendingShell>();
}
std::unique_ptr<platform::Processes> NewSimProcesses(SimMachine&) {
  return std::make_unique<PendingProcesses>();
}

}  // namespace qdw::sim
