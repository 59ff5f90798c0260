#include "engine/journal/journaled_moves.h"

#include <vector>

#include "platform/file_checks.h"
#include "platform/windows_path.h"

namespace qdw::journal {

using platform::kSuccess;

std::string JournaledMoves::FreeName(const std::string& path, const std::string& suffix) {
  std::string name = path + suffix;
  for (int n = 2; platform::PathExists(files_, name); ++n) name = path + suffix + std::to_string(n);
  return name;
}

bool JournaledMoves::SetAside(const std::string& path, const std::string& suffix) {
  if (!platform::PathExists(files_, path)) return true;
  const std::string kept = FreeName(path, suffix);
  if (!journal_.Record(KeptRecord(path, kept))) return false;
  return files_.Move(path, kept) == kSuccess;
}

bool JournaledMoves::MakeFolder(const std::string& folder) {
  return journal_.Record(CreatedRecord(folder)) && files_.MakeFolder(folder) == kSuccess;
}

bool JournaledMoves::MakeParents(const std::string& path) {
  std::vector<std::string> missing;
  for (std::string level = platform::FolderPart(path);
       level.size() > 3 && !platform::IsBareDrive(level) && !platform::PathExists(files_, level);
       level = platform::FolderPart(level)) {
    missing.push_back(level);
  }
  if (missing.empty()) return true;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!journal_.Record(CreatedRecord(*it))) return false;
  }
  return platform_.shell().MakeSureDirectoryPathExists(missing.front() + "\\");
}

int JournaledMoves::PlaceTree(const std::string& source, const std::string& target,
                              uint32_t attributes) {
  const std::string staging = FreeName(target, kIncomingSuffix);
  if (!MakeFolder(staging)) return 1;
  if (trees_.MoveTree(source, staging) != 0) return 1;
  files_.WriteAttributes(staging, attributes == 0 ? platform::kAttrNormal : attributes);
  // Only a whole tree reaches its place.
  if (!journal_.Record(CreatedRecord(target))) return 1;
  return files_.Move(staging, target) == kSuccess ? 0 : 1;
}

bool JournaledMoves::PlaceFile(const std::string& source, const std::string& target) {
  if (!journal_.Record(CreatedRecord(target))) return false;
  if (files_.Copy(source, target, /*fail_if_exists=*/true) != kSuccess) return false;
  files_.Delete(source);
  return true;
}

}  // namespace qdw::journal
