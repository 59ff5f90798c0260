// The stand-in machine as a platform::Platform: one SimMachine and one port of each kind
// over it.
#ifndef QDW_PLATFORM_SIM_SIM_PLATFORM_H_
#define QDW_PLATFORM_SIM_SIM_PLATFORM_H_

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace qdw::sim {

class SimPlatform : public platform::Platform {
 public:
  // Throws std::runtime_error when `folder` is not a machine.
  explicit SimPlatform(const std::string& folder);
  ~SimPlatform() override;

  SimMachine& machine() { return *machine_; }

  platform::FileSystem& files() override { return *files_; }
  platform::Registry& registry() override { return *registry_; }
  platform::ServiceManager& services() override { return *services_; }
  platform::Processes& processes() override { return *processes_; }
  platform::Shares& shares() override { return *shares_; }
  platform::ShareProxyFactory& share_proxy() override { return *share_proxy_; }
  platform::Accounts& accounts() override { return *accounts_; }
  platform::Shell& shell() override { return *shell_; }
  platform::SystemInfo& system() override { return *system_; }
  platform::Libraries& libraries() override { return *libraries_; }
  platform::Mutexes& mutexes() override { return *mutexes_; }
  platform::Databases& databases() override { return *databases_; }

 private:
  std::unique_ptr<SimMachine> machine_;
  std::unique_ptr<platform::FileSystem> files_;
  std::unique_ptr<platform::Registry> registry_;
  std::unique_ptr<platform::ServiceManager> services_;
  std::unique_ptr<platform::Processes> processes_;
  std::unique_ptr<platform::Shares> shares_;
  std::unique_ptr<platform::ShareProxyFactory> share_proxy_;
  std::unique_ptr<platform::Accounts> accounts_;
  std::unique_ptr<platform::Shell> shell_;
  std::unique_ptr<platform::SystemInfo> system_;
  std::unique_ptr<platform::Libraries> libraries_;
  std::unique_ptr<platform::Mutexes> mutexes_;
  std::unique_ptr<platform::Databases> databases_;
};

// A platform over the machine in `folder` (tests). Throws std::runtime_error when `folder`
// is not a machine.
std::unique_ptr<SimPlatform> OpenSimMachine(const std::string& folder);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_PLATFORM_H_
