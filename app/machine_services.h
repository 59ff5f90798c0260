// The real parts behind start-up and the run sequence: service control and process checks
// (system), the product settings, the access-rights library, the engine object and the
// file-tree removal. Each part is made once for the life of the program.
#ifndef QDW_APP_MACHINE_SERVICES_H_
#define QDW_APP_MACHINE_SERVICES_H_

#include <memory>
#include <string>
#include <vector>

#include "app/run_services.h"
#include "app/startup_services.h"
#include "engine/backup/archive_packer.h"
#include "engine/common/tree_remover.h"
#include "engine/restore/restore_engine.h"
#include "platform/dialog_host.h"
#include "platform/platform.h"
#include "settings/product_settings.h"
#include "system/program_checks.h"
#include "system/service_control.h"
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
  MachineServices(platform::Platform& platform, platform::DialogHost& host);
  ~MachineServices() override;

  // StartupServices
  journal::RecoveryReport RecoverUnfinishedRun() override;
  void OpenDataFolderToEveryone(const std::string& world_group) override;
  bool ReadRepositoryPath(std::string* path) override {
    return settings_.ReadUserRepositoryPath(path);
  }
  bool ReadProductVersion(std::string* version, bool* share_product_absent) override {
    return settings_.ReadProductVersion(version, share_product_absent);
  }
  bool CheckMainProgram(bool* running) override { return programs_.CheckMainProgram(running); }
  bool CheckShareProgram(bool* running) override { return programs_.CheckShareProgram(running); }

  // RunServices
  std::unique_ptr<engine::EngineRun> NewEngineRun(engine::Prompts& prompts) override;
  void SetWorldGroup(const std::string& name) override { world_group_ = name; }
  void SetProgress(engine::Progress* progress) override { progress_ = progress; }
  bool ServiceRights() override;
  bool QueryService(const std::string& name, bool* running) override {
    return services_.QueryServiceRunning(name, running);
  }
  bool StopService(const std::string& name) override { return services_.StopServiceAndWait(name); }
  bool StartService(const std::string& name) override {
    return services_.StartServiceAndWait(name);
  }
  int OperatingSystemClass() override;
  bool FolderExists(const std::string& path) override;
  void RemoveFolderTree(const std::string& path) override;
  std::string WindowsFolder() override;
  std::vector<std::string> ProgramFolders() override;

 private:
  platform::Platform& platform_;
  HostWaitCursor cursor_;
  settings::ProductSettings settings_;
  system::ServiceControl services_;
  system::ProgramChecks programs_;
  engine::TreeRemover remover_;
  std::unique_ptr<backup::ArchivePacker> packer_;
  std::string world_group_ = restore::kEnglishWorldGroup;
  engine::Progress* progress_ = nullptr;
};

}  // namespace qdw::app

#endif  // QDW_APP_MACHINE_SERVICES_H_
