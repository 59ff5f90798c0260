#include "app/machine_services.h"

#include "app/archive_packer_factory.h"
#include "engine/backup/backup_restore.h"
#include "engine/backup/tree_remover.h"
#include "engine/restore/product_settings.h"
#include "rightsmend/rightsmend.h"
#include "system/command_line_services.h"
#include "system/haltwerk.h"
#include "system/os_version.h"
#include "system/program_checks.h"
#include "system/service_control.h"

namespace qdw::app {

namespace {

constexpr char kDataFolderRelative[] = "VARNOLD\\Quillon Deskora Backup Tool";
constexpr uint32_t kFullControl = 2032127;

// The engine object of one run over CBackupRestore, which carries both engines.
class MachineEngineRun : public EngineRun {
 public:
  MachineEngineRun(platform::Platform& platform, engine::Prompts& prompts,
                   system::WaitCursor* cursor, const std::string& world_group)
      : platform_(platform),
        cursor_(cursor),
        command_line_(platform, cursor),
        packer_(MakeArchivePacker()),
        engine_(platform, prompts, *packer_) {
    engine_.set_world_group(world_group);
  }

  int ProductFolderStep(const std::string& mode_word) override {
    return engine_.RunProductFolderStep(mode_word);
  }
  int Restore(const std::string& archive_path, const std::string& repository,
              const std::string& temp_folder) override {
    return engine_.RestoreFromArchive(archive_path, repository, temp_folder);
  }
  int Backup(const std::string& repository, const std::string& destination,
             const std::string& name) override {
    return engine_.Backup(repository, destination, name);
  }
  std::string ArchivePath() const override { return engine_.archive_path(); }
  void StopServicesWithoutRights() override {
    system::StopServicesWithoutRights(platform_, command_line_, cursor_);
  }
  void CommandLineStart() override { command_line_.StartProductServices(); }

 private:
  platform::Platform& platform_;
  system::WaitCursor* cursor_;
  system::CommandLineServices command_line_;
  std::unique_ptr<backup::ArchivePacker> packer_;
  engine::CBackupRestore engine_;
};

}  // namespace

void MachineServices::OpenDataFolderToEveryone(const std::string& world_group) {
  VNChangeAccessRights(kDataFolderRelative, world_group.c_str(), kFullControl, 0, 1);
}

bool MachineServices::ReadRepositoryPath(std::string* path) {
  return restore::ProductSettings(platform_).ReadUserRepositoryPath(path);
}

bool MachineServices::ReadProductVersion(std::string* version, bool* share_product_absent) {
  return restore::ProductSettings(platform_).ReadProductVersion(version, share_product_absent);
}

bool MachineServices::CheckMainProgram(bool* running) {
  return system::ProgramChecks(platform_).CheckMainProgram(running);
}

bool MachineServices::CheckShareProgram(bool* running) {
  return system::ProgramChecks(platform_).CheckShareProgram(running);
}

std::unique_ptr<EngineRun> MachineServices::NewEngineRun(engine::Prompts& prompts) {
  return std::make_unique<MachineEngineRun>(platform_, prompts, &cursor_, world_group_);
}

bool MachineServices::ServiceRights() {
  bool has_rights = true;
  system::ServiceControl(platform_).CheckServiceRights(&has_rights);
  return has_rights;
}

bool MachineServices::QueryService(const std::string& name, bool* running) {
  return system::ServiceControl(platform_).QueryServiceRunning(name, running);
}

bool MachineServices::StopService(const std::string& name) {
  return system::ServiceControl(platform_).StopServiceAndWait(name);
}

bool MachineServices::StartService(const std::string& name) {
  return system::ServiceControl(platform_).StartServiceAndWait(name);
}

int MachineServices::OperatingSystemClass() {
  return system::ClassifyOperatingSystem(platform_.system());
}

bool MachineServices::FolderExists(const std::string& path) {
  uint32_t attributes = 0;
  return platform_.files().ReadAttributes(path, &attributes) == platform::kSuccess &&
         attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory);
}

void MachineServices::RemoveFolderTree(const std::string& path) {
  // The tool's own work folders: read-only files must not keep them alive.
  backup::TreeRemover(platform_.files(), backup::ProcessBackupState())
      .RemoveTree(path, backup::ReadOnlyHandling::kClear);
}

std::string MachineServices::WindowsFolder() {
  std::string folder;
  return platform_.shell().WindowsFolder(&folder) == platform::kSuccess ? folder : "";
}

std::vector<std::string> MachineServices::ProgramFolders() {
  std::vector<std::string> folders;
  for (const char* variable : {"%ProgramFiles%", "%ProgramW6432%", "%ProgramFiles(x86)%"}) {
    // An unknown variable stays as written.
    const std::string folder = platform_.shell().ExpandEnvironment(variable);
    if (!folder.empty() && folder != variable) folders.push_back(folder);
  }
  return folders;
}

}  // namespace qdw::app
