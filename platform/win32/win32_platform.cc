// The platform of the Windows build: one Win32 port of each kind, made on first use and kept
// for the life of the process.
#include "platform/platform.h"
#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

class Win32Platform : public platform::Platform {
 public:
  Win32Platform()
      : files_(NewWin32FileSystem()),
        registry_(NewWin32Registry()),
        services_(NewWin32ServiceManager()),
        processes_(NewWin32Processes()),
        shares_(NewWin32Shares()),
        share_proxy_(NewWin32ShareProxyFactory()),
        accounts_(NewWin32Accounts()),
        shell_(NewWin32Shell()),
        system_(NewWin32SystemInfo()),
        libraries_(NewWin32Libraries()),
        mutexes_(NewWin32Mutexes()),
        databases_(NewWin32Databases()) {}

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

}  // namespace
}  // namespace qdw::win32

namespace qdw::platform {

Platform& BuildPlatform() {
  static Platform* platform = new win32::Win32Platform();
  return *platform;
}

}  // namespace qdw::platform
