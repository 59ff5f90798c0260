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
  CreatedShares created;
  try {
    RecordedShares shares;
    if (!ShareInfoReader(p_.platform, p_.settings).Read(temp_folder, &shares)) return false;
    // Every step that fails fails the restore, which then puts everything back: going on
    // after one would only make more to undo.
    if (!RestoreSharedFolderContents(temp_folder, shares.names, shares.paths, shares.data_flags)) {
      return false;
    }
    bool writable = false;
    if (!p_.settings.CanWriteProductSettings(&writable)) writable = false;
    if (writable) {
      if (shares.source_kind != kSourceUnknown) {
        ShareCreator(p_.platform, p_.prompts, p_.settings, p_.trees).CreateShares(shares, &created);
        // A refused share fails the step as a failing share service does.
        if (!created.all_added) {
          refused_share_ = created.refused;
          return false;
        }
        for (const std::string& path : created.paths) {
          if (!GrantChangeRights(path)) return false;
        }
      }
      if (!p_.settings.WriteUserSharedFolders(created.names, created.paths)) return false;
    }
    // The database changed here is the one the restore has just put in place, so undoing the
    // restore takes its changes away with it.
    database::CDataBase database(p_.platform.databases(), [this](std::string* path) {
      return p_.settings.ReadUserRepositoryPath(path);
    });
    if (writable) {
      return database.RenameFolderRecords(shares.names, shares.paths, created.names,
                                          created.paths);
    }
    if (!database.RenameFolderRecords(shares.names, shares.paths, shares.names, shares.paths)) {
      return false;
    }
    database::StringList outside;
    if (!database.UnshareFolderRecords(shares.names, shares.paths, &outside)) return false;
    return outside.empty() || database.DeleteSharedFolderRecords();
  } catch (...) {
    refused_share_ = created.refused;
    return false;
  }
}

bool RestoreEngine::GrantChangeRights(const std::string& path) {
  // The folder's own access list is what the rights library replaces; it is kept first.
  bool present = false;
  platform::Acl old;
  if (p_.platform.files().ReadDacl(path, &present, &old) != platform::kSuccess) return false;
  if (!p_.journal.Record(journal::DaclRecord(path, present, old))) return false;
  return VNChangeAccessRightsFullPath(path.c_str(), p_.world_group.c_str(), platform::kMaskChange,
                                      0, 0) != 0;
}

bool RestoreEngine::RestoreSharedFolderContents(const std::string& temp_folder,
                                                const std::vector<std::string>& names,
                                                const std::vector<std::string>& paths,
                                                const std::vector<std::string>& data_flags) {
  journal::JournaledMoves moves = Moves();
  for (size_t i = 0; i < names.size(); ++i) {
    if (data_flags[i] == "1" || IsNetworkPath(paths[i])) continue;
    const std::string source = platform::JoinPath(temp_folder, names[i]);
    // What is there now stays aside until the restore is kept.
    if (!moves.SetAside(paths[i])) return false;
    if (!moves.MakeParents(paths[i])) return false;
    if (moves.PlaceTree(source, paths[i], 0) != 0) return false;
  }
  return true;
}

}  // namespace qdw::restore
