#include "engine/backup/backup_inputs.h"

#include <vector>

#include "engine/common/archive_names.h"
#include "engine/common/message_ids.h"
#include "engine/common/portable_folder.h"
#include "platform/normalised_paths.h"
#include "platform/windows_path.h"

namespace qdw::backup {

bool DestinationAccepted(platform::FileSystem& files, const std::string& destination) {
  // Wildcards would make the folder search match other names.
  if (destination.empty() || destination.find_first_of("*?") != std::string::npos) return false;
  if (platform::IsBareDrive(destination)) {
    uint32_t kind = files.DriveKind(destination + "\\");
    return kind == platform::kDriveRemovable || kind == platform::kDriveFixed ||
           kind == platform::kDriveRemote || kind == platform::kDriveRamDisk;
  }
  std::vector<platform::DirEntry> entries;
  if (files.Find(destination + "\\*", &entries) == platform::kSuccess) return true;
  entries.clear();
  // A file of that name is no destination folder.
  return files.Find(destination, &entries) == platform::kSuccess && entries.size() == 1 &&
         (entries[0].attributes & platform::kAttrDirectory) != 0;
}

int NameRefusal(const std::string& name) {
  for (char c : std::string("\\/,;:*?\"<>|")) {
    if (name.find(c) != std::string::npos) return engine::kMsgBadNameCharacter;
  }
  if (name.find(engine::kFirstVolumeMark) != std::string::npos) return engine::kMsgNameHasBak;
  return 0;
}

bool SetPathsFit(const std::string& destination, const std::string& name,
                 const std::string& file_temp_folder_name) {
  // A set has at most 65535 volumes: its longest names carry five digits.
  const std::string archive = destination + "\\" + name + ".qdw";
  const std::string last_continuation =
      destination + "\\" + file_temp_folder_name + "\\" + name + "_add65535.qdw";
  const std::string first_of_many = destination + "\\" + name + "_bak65535.qdw";
  return archive.size() <= kMaxArchivePathLength && last_continuation.size() < platform::kMaxPath &&
         first_of_many.size() < platform::kMaxPath;
}

bool DestinationInsideProduct(platform::FileSystem& files, const std::string& destination,
                              const std::string& repository) {
  if (repository.empty()) return false;
  return platform::LiesInside(files, destination,
                              platform::StripTrailingSeparator(repository) + "\\VARNOLD");
}

}  // namespace qdw::backup
