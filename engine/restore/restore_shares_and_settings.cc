// The engine's share step and the service stop it repeats before touching shares and folders.
#include "database/folder_table_updates.h"
#include "engine/restore/restore_engine.h"
#include "platform/file_checks.h"
#include "platform/windows_path.h"
#include "rightsmend/rightsmend.h"
#include "system/command_line_services.h"
#include "system/haltwerk.h"
#include "system/os_version.h"
#include "system/service_control.h"

namespace qdw::restore {

namespace {

constexpr uint32_t kOneSecond = 1000;

}  // namespace

void RestoreEngine::StopServicesForRestore() {
  try {
    const int os_class = system::ClassifyOperatingSystem(p_.platform.system());
    system::ServiceControl services(p_.platform);
    bool rights = true;
    services.CheckServiceRights(&rights);
    if (!rights) {
      p_.platform.system().Sleep(kOneSecond);
      system::Haltwerk(p_.platform, nullptr).Run();
      p_.platform.system().Sleep(kOneSecond);
      system::CommandLineServices(p_.platform, nullptr).StopProductServices();
      return;
    }
    std::vector<std::string> names;
    if (system::HasIndexingService(os_class)) names.push_back(system::kIndexingService);
    names.push_back(system::kSharedFolderService);
    for (const std::string& name : names) {
      bool running = false;
      if (!services.QueryServiceRunning(name, &running)) return;
      if (running && !services.StopServiceAndWait(name)) return;
    }
  } catch (...) {
    // The run sequence has already reported what it could not stop.
  }
}

bool RestoreEngine::RestoreSharesAndSettings(const std::string& temp_folder) {
  try {
    RecordedShares shares;
    if (!ShareInfoReader(p_.platform, p_.settings).Read(temp_folder, &shares)) return false;
    const bool contents_moved =
        RestoreSharedFolderContents(temp_folder, shares.names, shares.paths, shares.data_flags);
    bool writable = false;
    if (!p_.settings.CanWriteProductSettings(&writable)) writable = false;
    CreatedShares created;
    if (writable) {
      if (shares.source_kind != kSourceUnknown) {
        ShareCreator(p_.platform, p_.prompts, p_.settings, p_.trees).CreateShares(shares, &created);
        // A refused share fails the step as a failing share service does, before anything is
        // recorded for it.
        if (!created.all_added) return false;
        for (const std::string& path : created.paths) {
          if (VNChangeAccessRightsFullPath(path.c_str(), p_.world_group.c_str(),
                                           platform::kMaskChange, 0, 0) == 0) {
            return false;
          }
        }
      }
      if (!p_.settings.WriteUserSharedFolders(created.names, created.paths)) return false;
    }
    database::CDataBase database(p_.platform.databases(), [this](std::string* path) {
      return p_.settings.ReadUserRepositoryPath(path);
    });
    if (writable) {
      database.RenameFolderRecords(shares.names, shares.paths, created.names, created.paths);
    } else {
      database.RenameFolderRecords(shares.names, shares.paths, shares.names, shares.paths);
      database::StringList outside;
      database.UnshareFolderRecords(shares.names, shares.paths, &outside);
      if (!outside.empty()) database.DeleteSharedFolderRecords();
    }
    return contents_moved;
  } catch (...) {
    return false;
  }
}

bool RestoreEngine::RestoreSharedFolderContents(const std::string& temp_folder,
                                                const std::vector<std::string>& names,
                                                const std::vector<std::string>& paths,
                                                const std::vector<std::string>& data_flags) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (data_flags[i] == "1") continue;
    if (platform::PathExists(p_.platform.files(), paths[i])) p_.trees.RemoveTree(paths[i]);
    if (!p_.platform.shell().MakeSureDirectoryPathExists(paths[i] + "\\")) return false;
    if (p_.trees.MoveTree(platform::JoinPath(temp_folder, names[i]), paths[i]) != 0) return false;
  }
  return true;
}

}  // namespace qdw::restore
