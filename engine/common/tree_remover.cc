#include "engine/common/tree_remover.h"

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
    for (const platform::DirEntry& entry : entries) {
      const std::string path = platform::JoinPath(folder, entry.name);
      if (IsFolder(entry)) {
        if (!RemoveFolderEntry(path, entry.attributes, read_only)) return false;
      } else if (!RemoveOneFile(path, entry.attributes, read_only)) {
        return false;
      } else if (counter_ != nullptr) {
        counter_->Add(1);
      }
    }
  }
  if (read_only == ReadOnlyHandling::kClear) ClearReadOnly(folder, attributes);
  return files_.RemoveFolder(folder) == kSuccess;
}

bool TreeRemover::RemoveOneFile(const std::string& path, uint32_t attributes,
                                ReadOnlyHandling read_only) {
  if (read_only == ReadOnlyHandling::kClear) ClearReadOnly(path, attributes);
  if (files_.Delete(path) == kSuccess) return true;
  if (files_.Delete(path) == kSuccess) return true;
  state_.undeletable_files.push_back(path);
  return false;
}

void TreeRemover::ClearReadOnly(const std::string& path, uint32_t attributes) {
  if ((attributes & platform::kAttrReadOnly) == 0) return;
  uint32_t kept =
      attributes & (platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive);
  files_.WriteAttributes(path, kept == 0 ? platform::kAttrNormal : kept);
}

}  // namespace qdw::engine
