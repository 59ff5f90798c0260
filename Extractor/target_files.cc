#include "Extractor/target_files.h"

#include <algorithm>

#include "archive/dos_time.h"
#include "archive/runtime_files.h"
#include "archive/runtime_flags.h"
#include "cabinet/cab_types.h"
#include "platform/file_checks.h"
#include "platform/platform.h"
#include "platform/windows_path.h"

namespace qdw::extractor {
namespace {

// The attribute bits a cabinet keeps: read-only, hidden, system and archive.
constexpr uint32_t kStoredAttributeMask = 0x27;

}  // namespace

bool MakeTargetFolders(const std::string& target, std::string* known_folder) {
  platform::FileSystem& files = platform::DefaultPlatform().files();
  std::string drive;
  std::string dir;
  std::string file_name;
  std::string extension;
  platform::SplitPath(target, &drive, &dir, &file_name, &extension);
  const std::string folder = drive + dir;
  if (folder.empty() || folder == *known_folder) return true;
  if (platform::FolderExistsAsWritten(files, folder)) {
    *known_folder = folder;
    return true;
  }

  // Walk the folder from its start: past the drive and one leading "\", every further "\" or
  // "/" ends a level that is created when missing. A trail byte 0x5C of a two-byte character
  // ends none (FindSeparator walks characters); "/" is never part of one.
  size_t position = drive.size();
  if (position < folder.size() && (folder[position] == '\\' || folder[position] == '/')) {
    ++position;
  }
  for (;; ++position) {
    position = std::min(platform::FindSeparator(folder, position), folder.find('/', position));
    if (position == std::string::npos) break;
    std::string level = folder.substr(0, position);
    if (platform::FolderExistsAsWritten(files, level)) continue;
    if (files.MakeFolder(level) != platform::kSuccess &&
        !platform::FolderExistsAsWritten(files, level)) {
      return false;
    }
  }
  if (!platform::FolderExistsAsWritten(files, folder)) return false;
  *known_folder = folder;
  return true;
}

intptr_t CreateTarget(const std::string& target) {
  // Most targets are new: creating one outright spares looking for an earlier file first.
  int error = 0;
  intptr_t fresh = archive::RuntimeFiles::Instance().Open(
      target.c_str(), CAB_O_WRONLY | CAB_O_CREAT | CAB_O_EXCL | CAB_O_BINARY | CAB_O_SEQUENTIAL,
      CAB_S_IREAD | CAB_S_IWRITE, &error);
  if (fresh != -1 || error != archive::kErrnoExists) return fresh;
  platform::FileSystem& files = platform::DefaultPlatform().files();
  uint32_t attributes = 0;
  if (files.ReadAttributes(target, &attributes) == platform::kSuccess) {
    if (attributes & platform::kAttrReadOnly) {
      uint32_t writable = attributes & ~platform::kAttrReadOnly & kStoredAttributeMask;
      files.WriteAttributes(target, writable != 0 ? writable : platform::kAttrNormal);
    }
    files.Delete(target);
  }
  // Truncation: a target whose deletion failed never keeps old bytes behind the new data.
  return archive::RuntimeFiles::Instance().Open(
      target.c_str(), CAB_O_WRONLY | CAB_O_CREAT | CAB_O_TRUNC | CAB_O_BINARY | CAB_O_SEQUENTIAL,
      CAB_S_IREAD | CAB_S_IWRITE, nullptr);
}

uint32_t NewFileAttributes(uint16_t attributes) {
  const uint32_t bits = attributes & kStoredAttributeMask;
  return bits != 0 ? bits : platform::kAttrNormal;
}

void FinishTarget(const std::string& target, intptr_t handle, uint16_t dos_date, uint16_t dos_time,
                  uint16_t attributes) {
  platform::Platform& machine = platform::DefaultPlatform();
  archive::RuntimeFiles& files = archive::RuntimeFiles::Instance();
  platform::FileTime stamp;
  if (archive::LocalDosDateTimeToUtc(machine.system(), dos_date, dos_time, &stamp)) {
    files.SetTimes(handle, &stamp, &stamp);
  }
  files.Close(handle, nullptr);
  const uint32_t bits = NewFileAttributes(attributes);
  // CreateTarget made a plain new file, which already has the archive bit alone.
  if (bits == platform::kAttrArchive) return;
  machine.files().WriteAttributes(target, bits);
}

}  // namespace qdw::extractor
