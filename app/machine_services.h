// The real parts behind start-up and the run sequence: service control and process checks
// (system), the product settings, the access-rights library, the engine object and the
// file-tree removal.
#ifndef QDW_APP_MACHINE_SERVICES_H_
#define QDW_APP_MACHINE_SERVICES_H_

#include <memory>
#include <string>
#include <vector>

#include "app/run_services.h"
#include "app/startup_services.h"
#include "platform/dialog_host.h"
#include "platform/platform.h"
#include "system/wait_cursor.h"

namespace qdw::app {

// The hourglass of the dialog host, for the waits of the service steps.
class HostWaitCursor : public system::WaitCursor {
 public:
  explicit HostWaitCursor(platform::DialogHost& host) : host_(host) {}
  void Show() override { host_.BeginWaitCursor(); }
  void Hide() override { host_.EndWaitCursor(); }

 private:
  platform::DialogHost& host_;
};

class MachineServices : public StartupServices, public RunServices {
 public:
  MachineServices(platform::Platform& platform, platform::DialogHost& host)
      : platform_(platform), cursor_(host) {}

  // StartupServices
  void OpenDataFolderToEveryone(const std::string& world_group) override;
  bool ReadRepositoryPath(std::string* path) override;
  bool ReadProductVersion(std::string* version, bool* share_product_absent) override;
  bool CheckMainProgram(bool* running) override;
  bool CheckShareProgram(bool* running) override;

  // RunServices
  std::unique_ptr<EngineRun> NewEngineRun(engine::Prompts& prompts) override;
  void SetWorldGroup(const std::string& name) override { world_group_ = name; }
  bool ServiceRights() override;
  bool QueryService(const std::string& name, bool* running) override;
  bool StopService(const std::string& name) override;
  bool StartService(const std::string& name) override;
  int OperatingSystemClass() override;
  bool FolderExists(const std::string& path) override;
  void RemoveFolderTree(const std::string& path) override;
  std::string WindowsFolder() override;
  std::vector<std::string> ProgramFolders() override;

 private:
  platform::Platform& platform_;
  HostWaitCursor cursor_;
  std::string world_group_ = "Everyone";
};

}  // namespace qdw::app

#endif  // QDW_APP_MACHINE_SERVICES_H_
