#include "engine/common/tree_mover.h"

#include <vector>

#include "engine/common/engine_errors.h"
#include "engine/common/folder_listing.h"
#include "engine/common/result_codes.h"
#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::engine {
namespace {

using platform::kSuccess;

constexpr uint32_t kSettableAttributes = platform::kAttrReadOnly | platform::kAttrHidden |
                                         platform::kAttrSystem | platform::kAttrArchive;

bool EndsWithDollarHash(const std::string& name) {
  return name.size() >= 2 && name.compare(name.size() - 2, 2, "$#") == 0;
}

}  // namespace

int TreeMover::MoveTree(const std::string& source, const std::string& target,
                        bool copy_then_delete) {
  copied_.clear();
  halves_ = 0;
  int result = PlaceEntries(source, target, copy_then_delete);
  // Copies first, then the deletes: a file created right after many deletes makes some host
  // file systems search past every freed inode, so interleaving them made each copy dearer.
  if (copy_then_delete) DeleteCopiedSources();
  return result;
}

int TreeMover::PlaceEntries(const std::string& source, const std::string& target,
                            bool copy_then_delete) {
  std::vector<platform::DirEntry> entries;
  if (!ListFolderNames(files_, source, &entries)) return 1;

  CopiedFolder copied;
  // The folder's files are copied a run at a time, between its subfolders, in listing order.
  FileBatch batch;
  int result = 0;
  for (const platform::DirEntry& entry : entries) {
    const std::string from = platform::JoinPath(source, entry.name);
    const std::string to = platform::JoinPath(target, entry.name);
    if (!FitsPathLimit(from) || !FitsPathLimit(to)) {
      result = 1;
      continue;
    }
    if (!IsFolder(entry) && copy_then_delete) {
      batch.copies.push_back({from, to});
      batch.names.push_back(entry.name);
      batch.read_only.push_back((entry.attributes & platform::kAttrReadOnly) != 0);
      continue;
    }
    CopyBatch(&batch, &copied);
    if (!IsFolder(entry)) {
      if (files_.Move(from, to) != kSuccess) result = 1;
      if (counter_ != nullptr) counter_->Add(1);
      continue;
    }
    // A junction moves as the link itself; its target's content stays where it is.
    if (platform::IsReparsePoint(entry)) {
      if (files_.Move(from, to) != kSuccess) result = 1;
      continue;
    }
    platform::WinError made = files_.MakeFolder(to);
    if (made != kSuccess &&
        !(made == platform::kErrorAlreadyExists && platform::FolderExists(files_, to))) {
      result = 1;
      continue;
    }
    if (PlaceEntries(from, to, copy_then_delete) != 0) result = 1;
    // Attributes go on after the content is in, so a read-only folder never refuses it.
    uint32_t attributes = entry.attributes & kSettableAttributes;
    if (EndsWithDollarHash(entry.name)) attributes |= platform::kAttrHidden;
    // A folder that lost its attributes (a hidden "$#" folder shown) is no faithful move.
    if (files_.WriteAttributes(to, attributes == 0 ? platform::kAttrNormal : attributes) !=
        kSuccess) {
      result = 1;
    }
  }
  CopyBatch(&batch, &copied);
  if (!copy_then_delete) {
    if (result == 0) remover_.RemoveTree(source, ReadOnlyHandling::kClear);
    return result;
  }
  // Recorded after the subfolders' records, so folders go children first, as they did.
  copied.path = source;
  copied.remove = result == 0;
  copied_.push_back(std::move(copied));
  return result;
}

void TreeMover::CopyBatch(FileBatch* batch, CopiedFolder* copied) {
  if (batch->copies.empty()) return;
  std::vector<platform::WinError> results;
  files_.CopyFiles(batch->copies, /*fail_if_exists=*/false,
                   platform::FileSystem::BatchEnd::kStopAtFailure, &results);
  for (size_t i = 0; i < batch->copies.size(); ++i) {
    // The sources of what was copied so far stay: the failed run removes them with the rest.
    if (i >= results.size() || results[i] != kSuccess) Fail(kResultCopyIntoPlaceFailed);
    copied->names.push_back(std::move(batch->names[i]));
    copied->read_only.push_back(batch->read_only[i]);
    CountHalfFile();
  }
  *batch = FileBatch();
}

void TreeMover::DeleteBatch(std::vector<std::string>* paths) {
  if (paths->empty()) return;
  std::vector<platform::WinError> results;
  files_.DeleteFiles(*paths, platform::FileSystem::BatchEnd::kStopAtFailure, &results);
  for (size_t i = 0; i < paths->size(); ++i) {
    if (i >= results.size() || results[i] != kSuccess) Fail(kResultCopyIntoPlaceFailed);
    CountHalfFile();
  }
  paths->clear();
}

void TreeMover::CountHalfFile() {
  // The copy and the delete of a file are half of its move each, so the bar also moves while
  // the sources are deleted (slow where deletes wait for the disk) and ends at one a file.
  if (counter_ != nullptr && ++halves_ % 2 == 0) counter_->Add(1);
}

void TreeMover::DeleteCopiedSources() {
  std::vector<CopiedFolder> folders;
  folders.swap(copied_);
  for (const CopiedFolder& folder : folders) {
    std::vector<std::string> batch;
    for (size_t i = 0; i < folder.names.size(); ++i) {
      const std::string from = platform::JoinPath(folder.path, folder.names[i]);
      if (folder.read_only[i]) {
        // Deleted after its attribute is cleared, as the files before it were.
        DeleteBatch(&batch);
        files_.WriteAttributes(from, platform::kAttrNormal);
      }
      batch.push_back(from);
    }
    DeleteBatch(&batch);
    if (folder.remove) remover_.RemoveTree(folder.path, ReadOnlyHandling::kClear);
  }
}

}  // namespace qdw::engine
