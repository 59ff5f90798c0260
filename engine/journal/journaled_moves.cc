#include "engine/journal/journaled_moves.h"

#include <vector>

#include "platform/file_checks.h"
#include "platform/windows_path.h"

namespace qdw::journal {

using platform::kSuccess;

namespace {

// Room for kept and staging names beside one path; more means something is wrong.
constexpr int kMaxFreeNameTries = 1000;

}  // namespace

bool JournaledMoves::NothingAt(const std::string& path) {
  uint32_t attributes = 0;
  const platform::WinError read = files_.ReadAttributes(path, &attributes);
  return read == platform::kErrorFileNotFound || read == platform::kErrorPathNotFound;
}

std::string JournaledMoves::FreeName(const std::string& path, const std::string& suffix) {
  std::string name = path + suffix;
  for (int n = 2; !NothingAt(name); ++n) {
    if (n > kMaxFreeNameTries) return std::string();
    name = path + suffix + std::to_string(n);
  }
  return name;
}

bool JournaledMoves::SetAside(const std::string& path_in, const std::string& suffix) {
  if (NothingAt(path_in)) return true;
  // Put back under the name it has, whatever spelling the caller's path has.
  std::vector<platform::DirEntry> found;
  if (files_.Find(path_in, &found) != kSuccess || found.size() != 1) return false;
  const std::string path = platform::JoinPath(platform::FolderPart(path_in), found[0].name);
  const std::string kept = FreeName(path, suffix);
  if (kept.empty() || !journal_.Record(KeptRecord(path, kept))) return false;
  return files_.Move(path, kept) == kSuccess;
}

bool JournaledMoves::MakeFolder(const std::string& folder) {
  // A "created" record of something already there would have its undo remove it.
  if (!NothingAt(folder)) return false;
  return journal_.Record(CreatedRecord(folder)) && files_.MakeFolder(folder) == kSuccess;
}

bool JournaledMoves::MakeParents(const std::string& path) {
  std::vector<std::string> missing;
  for (std::string level = platform::FolderPart(path);
       level.size() > 3 && !platform::IsBareDrive(level) && !platform::PathExists(files_, level);
       level = platform::FolderPart(level)) {
    // A level that cannot be read may be there: recording it as made would remove it.
    if (!NothingAt(level)) return false;
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
  if (staging.empty() || !MakeFolder(staging)) return 1;
  if (trees_.MoveTree(source, staging) != 0) return 1;
  if (files_.WriteAttributes(staging, attributes == 0 ? platform::kAttrNormal : attributes) !=
      kSuccess) {
    return 1;
  }
  // Only a whole tree reaches its place, and only where nothing is.
  if (!NothingAt(target) || !journal_.Record(CreatedRecord(target))) return 1;
  return files_.Move(staging, target) == kSuccess ? 0 : 1;
}

bool JournaledMoves::PlaceFile(const std::string& source, const std::string& target) {
  if (!NothingAt(target) || !journal_.Record(CreatedRecord(target))) return false;
  if (files_.Copy(source, target, /*fail_if_exists=*/true) != kSuccess) return false;
  files_.Delete(source);
  return true;
}

}  // namespace qdw::journal
