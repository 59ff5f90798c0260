// Factories of the stand-in machine's ports. Each port lives in its own files of this folder;
// SimPlatform (sim_platform.h) gathers them for one machine.
#ifndef QDW_PLATFORM_SIM_SIM_PORTS_H_
#define QDW_PLATFORM_SIM_SIM_PORTS_H_

#include <memory>

#include "platform/platform.h"

namespace qdw::sim {

class SimMachine;

// Files, drives, attributes, ACLs, locks held by other programs, temp names.
std::unique_ptr<platform::FileSystem> NewSimFileSystem(SimMachine& machine);
// Modules by name: "CABINET" and other shared objects of the build folder, the resource
// module "Lingvault.dll", and the process-listing routes of the machine's OS version.
std::unique_ptr<platform::Libraries> NewSimLibraries(SimMachine& machine);
std::unique_ptr<platform::Mutexes> NewSimMutexes(SimMachine& machine);
std::unique_ptr<platform::SystemInfo> NewSimSystemInfo(SimMachine& machine);
std::unique_ptr<platform::Shell> NewSimShell(SimMachine& machine);
std::unique_ptr<platform::Processes> NewSimProcesses(SimMachine& machine);

// Registry hives kept as REGEDIT4 files.
std::unique_ptr<platform::Registry> NewSimRegistry(SimMachine& machine);
std::unique_ptr<platform::ServiceManager> NewSimServiceManager(SimMachine& machine);
std::unique_ptr<platform::Shares> NewSimShares(SimMachine& machine);
std::unique_ptr<platform::ShareProxyFactory> NewSimShareProxyFactory(SimMachine& machine);
std::unique_ptr<platform::Accounts> NewSimAccounts(SimMachine& machine);
// ODBC through unixODBC and the SQLite driver, with the machine's paths mapped to host paths.
std::unique_ptr<platform::Databases> NewSimDatabases(SimMachine& machine);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_PORTS_H_
