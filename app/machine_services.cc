#include "app/machine_services.h"

#include "app/archive_packer_factory.h"
#include "engine/backup_restore.h"
#include "engine/common/engine_state.h"
#include "engine/common/folder_listing.h"
#include "rightsmend/rightsmend.h"
#include "system/os_version.h"
#include "system/program_folders.h"

namespace qdw::app {

namespace {

constexpr char kDataFolderRelative[] = "VARNOLD\\Quillon Deskora Backup Tool";

}  // namespace

MachineServices::MachineServices(platform::Platform& platform, platform::DialogHost& host)
    : platform_(platform),
      cursor_(host),
      settings_(platform),
      services_(platform),
      programs_(platform),
      remover_(platform.files(), engine::ProcessEngineState()),
      packer_(MakeArchivePacker()) {}

MachineServices::~MachineServices() = default;

journal::RecoveryReport MachineServices::RecoverUnfinishedRun() {
  journal::RunJournal journal(platform_, engine::ProcessEngineState());
  return journal.Recover(/*start_services=*/true);
}

void MachineServices::OpenDataFolderToEveryone(const std::string& world_group) {
  VNChangeAccessRights(kDataFolderRelative, world_group.c_str(), platform::kMaskFullControl, 0, 1);
}

std::unique_ptr<engine::EngineRun> MachineServices::NewEngineRun(engine::Prompts& prompts) {
  engine::EngineOptions options;
  options.world_group = world_group_;
  options.cursor = &cursor_;
  options.progress = progress_;
  return std::make_unique<engine::CBackupRestore>(platform_, prompts, *packer_, options);
}

bool MachineServices::ServiceRights() {
  bool has_rights = true;
  services_.CheckServiceRights(&has_rights);
  return has_rights;
}

int MachineServices::OperatingSystemClass() {
  return system::ClassifyOperatingSystem(platform_.system());
}

bool MachineServices::FolderExists(const std::string& path) {
  return platform::FolderExists(platform_.files(), path);
}

void MachineServices::RemoveFolderTree(const std::string& path) {
  // The tool's own work folders: read-only files must not keep them alive.
  remover_.RemoveTree(path, engine::ReadOnlyHandling::kClear);
}

std::string MachineServices::WindowsFolder() { return system::WindowsFolder(platform_.shell()); }

std::vector<std::string> MachineServices::ProgramFolders() {
  return system::ProgramFolders(platform_.shell());
}

}  // namespace qdw::app
