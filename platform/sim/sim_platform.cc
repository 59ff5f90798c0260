#include "platform/sim/sim_platform.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/sim/sim_ports.h"

namespace qdw::sim {

SimPlatform::SimPlatform(const std::string& folder)
    : machine_(std::make_unique<SimMachine>(folder)) {
  SimMachine& m = *machine_;
  files_ = NewSimFileSystem(m);
  registry_ = NewSimRegistry(m);
  services_ = NewSimServiceManager(m);
  processes_ = NewSimProcesses(m);
  shares_ = NewSimShares(m);
  share_proxy_ = NewSimShareProxyFactory(m);
  accounts_ = NewSimAccounts(m);
  shell_ = NewSimShell(m);
  system_ = NewSimSystemInfo(m);
  libraries_ = NewSimLibraries(m);
  mutexes_ = NewSimMutexes(m);
  databases_ = NewSimDatabases(m);
}

// Ports hold references to the machine, so they go first.
SimPlatform::~SimPlatform() {
  files_.reset();
  registry_.reset();
  services_.reset();
  processes_.reset();
  shares_.reset();
  share_proxy_.reset();
  accounts_.reset();
  shell_.reset();
  system_.reset();
  libraries_.reset();
  mutexes_.reset();
  databases_.reset();
}

std::unique_ptr<SimPlatform> OpenSimMachine(const std::string& folder) {
  return std::make_unique<SimPlatform>(folder);
}

}  // namespace qdw::sim

namespace qdw::platform {

// The machine named by QDW_MACHINE, made on first use and kept for the life of the process.
// Without a usable machine nothing can run, so the process ends with exit code 2.
Platform& BuildPlatform() {
  static Platform* platform = [] {
    std::string folder = sim::SimMachine::MachineFolderFromEnvironment();
    if (folder.empty()) {
      std::fprintf(stderr,
                   "QDW_MACHINE is not set: name the stand-in machine folder to run on "
                   "(see docs/stand-in-machine.md)\n");
      std::exit(2);
    }
    if (!sim::SimMachine::IsMachineFolder(folder)) {
      std::fprintf(stderr, "QDW_MACHINE=%s is not a stand-in machine (no machine.json)\n",
                   folder.c_str());
      std::exit(2);
    }
    try {
      return static_cast<Platform*>(sim::OpenSimMachine(folder).release());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "cannot open the stand-in machine %s: %s\n", folder.c_str(), e.what());
      std::exit(2);
    }
  }();
  return *platform;
}

}  // namespace qdw::platform
