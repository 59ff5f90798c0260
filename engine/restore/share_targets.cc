#include "engine/restore/share_targets.h"

#include <algorithm>

#include "engine/common/archive_names.h"
#include "platform/file_checks.h"
#include "platform/windows_path.h"
#include "system/program_folders.h"
#include "system/tool_data_folder.h"

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

// The full path as the system resolves it, without a trailing "\" except at a drive's root;
// empty when it cannot be resolved.
std::string Resolved(platform::FileSystem& files, const std::string& path) {
  std::string full;
  if (files.FullPath(path, &full) != platform::kSuccess) return std::string();
  if (full.size() > 3 && platform::EndsWithSeparator(full)) full.pop_back();
  return full;
}

}  // namespace

std::vector<std::string> ProtectedFolders(platform::Platform& platform) {
  std::vector<std::string> folders = system::ProgramFolders(platform.shell());
  folders.push_back(system::WindowsFolder(platform.shell()));
  std::string data_folder;
  if (system::ToolDataFolder(platform.shell(), &data_folder)) folders.push_back(data_folder);
  std::vector<std::string> resolved;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string full = Resolved(platform.files(), folder);
    resolved.push_back(full.empty() ? platform::StripTrailingSeparator(folder) : full);
  }
  return resolved;
}

bool IsProtectedTarget(platform::FileSystem& files, const std::string& path,
                       const std::vector<std::string>& protected_folders,
                       const std::string& product_folder) {
  const std::string full = Resolved(files, path);
  // What cannot be resolved cannot be shown to be harmless.
  if (full.empty()) return true;
  const std::string product = Resolved(files, product_folder);
  // A folder of the product comes back with the product's own tree.
  if (!product.empty() && platform::IsAtOrBelow(full, product)) return false;
  if (full.size() <= 3) return true;  // a drive's root
  if (!product.empty() && platform::IsAtOrBelow(product, full)) return true;
  return std::any_of(protected_folders.begin(), protected_folders.end(),
                     [&](const std::string& folder) {
                       return platform::IsAtOrBelow(full, folder) ||
                              platform::IsAtOrBelow(folder, full);
                     });
}

void CheckShareTargets(platform::Platform& platform, settings::ProductSettings& settings,
                       const std::string& folder, const std::string& repository,
                       ShareTargetProblems* problems) {
  *problems = ShareTargetProblems();
  RecordedShares shares;
  if (!ShareInfoReader(platform, settings).Read(folder, &shares)) {
    problems->unsafe_entries.push_back(platform::JoinPath(folder, engine::kShareInfoFileName));
    return;
  }
  problems->unsafe_entries = UnsafeShareEntries(shares);

  // Without the user's registered folders none can be told apart from a stranger's, so every
  // existing one is in the way, as with an empty list.
  std::vector<std::string> entries;
  if (!settings.ReadUserSharedFolders(&entries)) entries.clear();
  std::vector<std::string> registered;
  for (const std::string& entry : entries) {
    const size_t comma = entry.find(',');
    registered.push_back(comma == std::string::npos ? std::string() : entry.substr(comma + 1));
  }
  const std::string product_folder = platform::JoinPath(repository, engine::kProductFolderName);
  const std::vector<std::string> protected_folders = ProtectedFolders(platform);

  platform::FileSystem& files = platform.files();
  for (size_t i = 0; i < shares.size(); ++i) {
    const std::string& path = shares.paths[i];
    // A network path is never replaced, and has no drive letter to be missing.
    if (IsNetworkPath(path)) continue;
    if (IsSafeShareName(shares.names[i]) && IsSafeSharePath(path) &&
        IsProtectedTarget(files, path, protected_folders, product_folder)) {
      problems->unsafe_entries.push_back(shares.names[i] + "," + path);
    }
    if (DriveUnusable(files, path)) {
      const std::string drive = path.substr(0, 2);
      if (std::find(problems->drives.begin(), problems->drives.end(), drive) ==
          problems->drives.end()) {
        problems->drives.push_back(drive);
      }
    }
    if (!platform::PathExists(files, path)) continue;
    if (platform::IsAtOrBelow(path, product_folder)) continue;
    const bool is_registered =
        std::any_of(registered.begin(), registered.end(), [&](const std::string& folder_path) {
          return platform::EqualsIgnoreCase(folder_path, path);
        });
    if (!is_registered) problems->folders.push_back(path);
  }
}

}  // namespace qdw::restore
