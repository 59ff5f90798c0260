#include "database/working_copy_files.h"

#include <utility>
#include <vector>

#include "platform/file_checks.h"
#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::database {
namespace {

bool IsDots(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

WorkingCopyFiles::WorkingCopyFiles(platform::FileSystem& files, TreeRemover remove_tree)
    : files_(files), remove_tree_(std::move(remove_tree)) {}

bool WorkingCopyFiles::FileExists(const std::string& path) {
  return platform::FileExists(files_, path);
}

bool WorkingCopyFiles::FolderExists(const std::string& path) {
  return platform::FolderExists(files_, path);
}

void WorkingCopyFiles::DeleteFileIfPresent(const std::string& path) {
  if (FileExists(path)) files_.Delete(path);
}

void WorkingCopyFiles::RemoveFolderIfPresent(const std::string& path) {
  if (!FolderExists(path)) return;
  if (remove_tree_) {
    remove_tree_(path);
  } else {
    RemoveTreePlain(path);
  }
}

void WorkingCopyFiles::DeleteMatchingFiles(const std::string& folder,
                                           const std::string& name_pattern) {
  std::vector<platform::DirEntry> entries;
  if (files_.Find(platform::JoinPath(folder, name_pattern), &entries) != platform::kSuccess) return;
  for (const platform::DirEntry& entry : entries) {
    if (IsDots(entry.name) || (entry.attributes & platform::kAttrDirectory) != 0) continue;
    DeleteFileIfPresent(platform::JoinPath(folder, entry.name));
  }
}

bool WorkingCopyFiles::RemoveTreePlain(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  if (files_.Find(platform::JoinPath(folder, "*.*"), &entries) != platform::kSuccess) return false;
  for (const platform::DirEntry& entry : entries) {
    if (IsDots(entry.name)) continue;
    const std::string path = platform::JoinPath(folder, entry.name);
    if ((entry.attributes & platform::kAttrDirectory) != 0) {
      // A junction goes as the link alone: its content is another folder's.
      const bool removed = platform::IsReparsePoint(entry)
                               ? files_.RemoveFolder(path) == platform::kSuccess
                               : RemoveTreePlain(path);
      if (!removed) return false;
    } else if (files_.Delete(path) != platform::kSuccess) {
      return false;
    }
  }
  return files_.RemoveFolder(folder) == platform::kSuccess;
}

}  // namespace qdw::database
