#include "engine/common/tree_copier.h"

#include "engine/common/folder_listing.h"
#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::engine {
namespace {

using platform::kSuccess;
using platform::WinError;

// The text after the last "." in lower case; empty without a ".".
std::string LowerExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : platform::LowerAnsi(name.substr(dot + 1));
}

}  // namespace

CopyOutcome TreeCopier::CopyTree(const std::string& source, const std::string& target,
                                 const std::string& excluded) {
  excluded_ = excluded.empty() ? target : excluded;
  CopyOutcome outcome;
  CopyFolder(source, target, &outcome);
  return outcome;
}

void TreeCopier::CopyFolder(const std::string& source, const std::string& target,
                            CopyOutcome* outcome) {
  std::vector<platform::DirEntry> entries;
  if (!ListFolder(files_, source, &entries)) {
    ++outcome->failures;
    return;
  }
  std::vector<std::pair<std::string, std::string>> locked_here;
  // The folder's files are copied a run at a time, between its subfolders, in listing order.
  FileRun run;
  for (const platform::DirEntry& entry : entries) {
    const std::string from = platform::JoinPath(source, entry.name);
    const std::string to = platform::JoinPath(target, entry.name);
    if (!IsFolder(entry)) {
      if (FitsPathLimit(from) && FitsPathLimit(to)) {
        run.copies.push_back({from, to});
        run.names.push_back(entry.name);
        run.sizes.push_back(entry.size);
      } else {
        ++outcome->failures;
        if (counter_ != nullptr) counter_->Add(entry.size);
      }
      continue;
    }
    CopyRun(source, target, &run, outcome, &locked_here);
    // A junction's content is another folder's: the archive holds files only and a restore could
    // not put the link back, so it is left out rather than copied in as this tree's own.
    if (platform::IsReparsePoint(entry)) continue;
    if (platform::EqualsIgnoreCase(from, excluded_)) continue;
    if (!FitsPathLimit(from) || !FitsPathLimit(to)) {
      ++outcome->failures;
      continue;
    }
    WinError made = files_.MakeFolder(to);
    if (made != kSuccess &&
        !(made == platform::kErrorAlreadyExists && platform::FolderExists(files_, to))) {
      ++outcome->failures;
      continue;
    }
    CopyFolder(from, to, outcome);
  }
  CopyRun(source, target, &run, outcome, &locked_here);
  // The cleanup runs after the whole folder, so the companion files it removes have been
  // copied by then.
  if (locked_here.empty()) return;
  if (counter_ != nullptr) counter_->progress().Show({ProgressPhase::kCleanCopy});
  for (const auto& [folder, name] : locked_here) {
    cleanup_.RemoveLockedDocument(folder, DocumentStem(name));
  }
  if (counter_ != nullptr) counter_->progress().Show(counter_->step());
}

void TreeCopier::CopyRun(const std::string& source, const std::string& target, FileRun* run,
                         CopyOutcome* outcome,
                         std::vector<std::pair<std::string, std::string>>* locked_here) {
  if (run->copies.empty()) return;
  std::vector<WinError> results;
  files_.CopyFiles(run->copies, /*fail_if_exists=*/true, platform::FileSystem::BatchEnd::kAll,
                   &results);
  for (size_t i = 0; i < run->copies.size(); ++i) {
    const WinError error = i < results.size() ? results[i] : platform::kErrorWriteFault;
    if (error != kSuccess) {
      CountFailedCopy(source, target, run->names[i], error, outcome, locked_here);
    }
    if (counter_ != nullptr) counter_->Add(run->sizes[i]);
  }
  *run = FileRun();
}

void TreeCopier::CountFailedCopy(const std::string& source, const std::string& target,
                                 const std::string& name, WinError error, CopyOutcome* outcome,
                                 std::vector<std::pair<std::string, std::string>>* locked_here) {
  const std::string from = platform::JoinPath(source, name);
  ++outcome->failures;
  if (error != platform::kErrorSharingViolation) return;

  ++outcome->locked;
  ++state_.locked_file_count;
  locked_here->emplace_back(target, name);
  state_.locked_documents.push_back(platform::LowerAnsi(from));
  state_.latest_locked_source_folder = source;
  std::string original = OriginalDocument(source, name);
  state_.original_files.push_back(original.empty() ? original : platform::LowerAnsi(original));
}

std::string TreeCopier::OriginalDocument(const std::string& folder, const std::string& name) {
  // The base name ends at the last "." that is not the first character.
  std::string base;
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot >= 1) base = name.substr(0, dot);

  std::vector<platform::DirEntry> matches;
  const std::string pattern = platform::JoinPath(folder, base) + ".*";
  if (FitsPathLimit(pattern) && files_.Find(pattern, &matches) == kSuccess) {
    for (const platform::DirEntry& match : matches) {
      if (match.name == "." || match.name == "..") continue;
      if (!platform::PathExists(files_, platform::JoinPath(folder, match.name))) continue;
      std::string extension = LowerExtension(match.name);
      if (extension != "xml" && extension != "pdf") {
        return platform::JoinPath(folder, base) + "." + extension;
      }
    }
  }
  return platform::JoinPath(folder, name);
}

std::string DocumentStem(const std::string& file_name) {
  const size_t dot = file_name.rfind('.');
  return dot == std::string::npos || dot == 0 ? file_name : file_name.substr(0, dot);
}

}  // namespace qdw::engine
