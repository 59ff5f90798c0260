#include "engine/restore/share_targets.h"

#include <algorithm>

#include "platform/file_checks.h"
#include "platform/windows_path.h"

namespace qdw::restore {

namespace {

bool DriveUnusable(platform::FileSystem& files, const std::string& path) {
  auto unusable = [](uint32_t kind) {
    return kind == platform::kDriveUnknown || kind == platform::kDriveNoRootDir ||
           kind == platform::kDriveCdRom;
  };
  return unusable(files.DriveKind(path.substr(0, 2))) &&
         unusable(files.DriveKind(path.substr(0, 3)));
}

}  // namespace

bool CheckShareTargets(platform::Platform& platform, settings::ProductSettings& settings,
                       const std::string& folder, ShareTargetProblems* problems) {
  *problems = ShareTargetProblems();
  RecordedShares shares;
  if (!ShareInfoReader(platform, settings).Read(folder, &shares)) return false;
  problems->unsafe_entries = UnsafeShareEntries(shares);

  std::vector<std::string> entries;
  if (!settings.ReadUserSharedFolders(&entries)) return false;
  std::vector<std::string> registered;
  for (const std::string& entry : entries) {
    const size_t comma = entry.find(',');
    registered.push_back(comma == std::string::npos ? std::string() : entry.substr(comma + 1));
  }
  std::string repository;
  if (!settings.ReadUserRepositoryPath(&repository)) repository.clear();
  const std::string product_folder = repository + "\\VARNOLD";

  platform::FileSystem& files = platform.files();
  for (const std::string& path : shares.paths) {
    // A network path has no drive letter to be missing.
    const bool network = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    if (!network && DriveUnusable(files, path)) {
      const std::string drive = path.substr(0, 2);
      if (std::find(problems->drives.begin(), problems->drives.end(), drive) ==
          problems->drives.end()) {
        problems->drives.push_back(drive);
      }
    }
    if (!platform::PathExists(files, path)) continue;
    if (platform::ContainsIgnoreCase(path, product_folder)) continue;
    const bool is_registered =
        std::any_of(registered.begin(), registered.end(), [&](const std::string& folder_path) {
          return platform::EqualsIgnoreCase(folder_path, path);
        });
    if (!is_registered) problems->folders.push_back(path);
  }
  return true;
}

}  // namespace qdw::restore
