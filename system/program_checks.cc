#include "system/program_checks.h"

#include <exception>
#include <memory>

#include "platform/file_checks.h"
#include "platform/windows_path.h"
#include "system/process_walker.h"
#include "system/tool_data_folder.h"

namespace qdw::system {

using platform::kSuccess;

bool ProgramChecks::CheckMainProgram(bool* running) {
  return CheckByMarker(kMainProgramMarker, running);
}

bool ProgramChecks::CheckShareProgram(bool* running) {
  return CheckByMarker(kShareProgramMarker, running);
}

bool ProgramChecks::CheckByMarker(const std::string& marker, bool* running) {
  *running = false;
  try {
    std::string folder;
    if (!ToolDataFolder(platform_.shell(), &folder)) return false;
    // A folder that cannot be made shows up below as a marker that cannot be written.
    platform_.shell().MakeSureDirectoryPathExists(folder);
    const std::string own_marker = folder + marker;
    const std::string shared_folder_marker = folder + kSharedFolderProgramMarker;
    // An old marker that stays would be taken for a running program.
    if (!RemoveMarker(own_marker)) return false;
    RemoveMarker(shared_folder_marker);

    bool written = true;
    EnumerateProcesses(platform_, [&](uint32_t pid, uint16_t, const std::string& name) {
      written = MarkProcess(folder, pid, name);
      return written;
    });
    const bool found = platform::PathExists(platform_.files(), own_marker);
    RemoveMarker(own_marker);
    RemoveMarker(shared_folder_marker);
    if (!written) return false;
    *running = found;
    return true;
  } catch (const std::exception&) {
    *running = false;
    return false;
  }
}

bool ProgramChecks::MarkProcess(const std::string& folder, uint32_t pid, const std::string& name) {
  const std::string upper = platform::UpperAnsi(name);
  if (upper.find(kMainProgramName) != std::string::npos &&
      !WriteMarker(folder + kMainProgramMarker, "1")) {
    return false;
  }
  if (upper.find(kShareProgramName) != std::string::npos) {
    return WriteMarker(folder + kShareProgramMarker, "1");
  }
  if (upper.find(kSharedFolderProgramName) != std::string::npos) {
    return WriteMarker(folder + kSharedFolderProgramMarker, std::to_string(pid));
  }
  return true;
}

bool ProgramChecks::WriteMarker(const std::string& path, const std::string& content) {
  std::unique_ptr<platform::File> file;
  if (platform_.files().Open(path, platform::kGenericWrite, platform::kShareRead,
                             platform::Disposition::kCreateAlways, platform::kAttrNormal,
                             &file) != kSuccess) {
    return false;
  }
  uint32_t written = 0;
  return file->Write(content.data(), static_cast<uint32_t>(content.size()), &written) == kSuccess &&
         written == content.size();
}

bool ProgramChecks::RemoveMarker(const std::string& path) {
  const platform::WinError error = platform_.files().Delete(path);
  return error == kSuccess || error == platform::kErrorFileNotFound ||
         error == platform::kErrorPathNotFound;
}

}  // namespace qdw::system
