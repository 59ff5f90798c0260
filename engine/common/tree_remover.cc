#include "engine/common/tree_remover.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "engine/common/folder_listing.h"
#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::engine {

using platform::kSuccess;

bool TreeRemover::RemoveTree(const std::string& folder, ReadOnlyHandling read_only) {
  uint32_t attributes = 0;
  if (files_.ReadAttributes(folder, &attributes) != kSuccess) attributes = 0;
  return RemoveFolderEntry(folder, attributes, read_only);
}

bool TreeRemover::RemoveFolderEntry(const std::string& folder, uint32_t attributes,
                                    ReadOnlyHandling read_only) {
  // A junction goes as the link alone: its content is another folder's, which stays.
  if (!platform::IsReparsePoint(attributes)) {
    std::vector<platform::DirEntry> entries;
    if (!ListFolderNames(files_, folder, &entries)) return false;
    // The folder's files are deleted a run at a time, between its subfolders, in listing order.
    std::vector<std::string> run;
    for (const platform::DirEntry& entry : entries) {
      const std::string path = platform::JoinPath(folder, entry.name);
      if (!IsFolder(entry)) {
        if (read_only == ReadOnlyHandling::kClear &&
            (entry.attributes & platform::kAttrReadOnly) != 0) {
          // Deleted after its attribute is cleared, as the files before it were.
          if (!DeleteRun(&run)) return false;
          ClearReadOnly(path, entry.attributes);
        }
        run.push_back(path);
        continue;
      }
      if (!DeleteRun(&run)) return false;
      if (!RemoveFolderEntry(path, entry.attributes, read_only)) return false;
    }
    if (!DeleteRun(&run)) return false;
  }
  if (read_only == ReadOnlyHandling::kClear) ClearReadOnly(folder, attributes);
  return files_.RemoveFolder(folder) == kSuccess;
}

bool TreeRemover::DeleteRun(std::vector<std::string>* run) {
  std::vector<platform::WinError> results;
  std::vector<std::string> rest;  // what follows a file that needed a second try
  for (size_t next = 0; next < run->size();) {
    files_.DeleteFiles(next == 0 ? *run : rest, platform::FileSystem::BatchEnd::kStopAtFailure,
                       &results);
    if (results.empty()) results.push_back(platform::kErrorWriteFault);
    for (size_t i = 0; i < results.size(); ++i) {
      const std::string& path = (*run)[next + i];
      // A file that did not go at once is tried once more, then stops the removal.
      if (results[i] != kSuccess && files_.Delete(path) != kSuccess) {
        state_.undeletable_files.push_back(path);
        run->clear();
        return false;
      }
      if (counter_ != nullptr) counter_->Add(1);
    }
    next += results.size();
    rest.assign(run->begin() + static_cast<std::ptrdiff_t>(std::min(next, run->size())),
                run->end());
  }
  run->clear();
  return true;
}

void TreeRemover::ClearReadOnly(const std::string& path, uint32_t attributes) {
  if ((attributes & platform::kAttrReadOnly) == 0) return;
  uint32_t kept =
      attributes & (platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive);
  files_.WriteAttributes(path, kept == 0 ? platform::kAttrNormal : kept);
}

}  // namespace qdw::engine
