#include "engine/journal/journal_file.h"

#include "platform/windows_path.h"
#include "system/tool_data_folder.h"

namespace qdw::journal {
namespace {

using platform::kSuccess;

constexpr uint32_t kReadChunk = 64 * 1024;

bool IsMissing(platform::WinError error) {
  return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound;
}

}  // namespace

std::string JournalPath(platform::Shell& shell) {
  std::string folder;
  if (!system::ToolDataFolder(shell, &folder)) return std::string();
  return folder + kJournalFileName;
}

bool JournalFile::Read(std::vector<JournalRecord>* records, bool* exists) {
  records->clear();
  *exists = false;
  if (path_.empty()) return true;
  Close();
  std::unique_ptr<platform::File> file;
  const platform::WinError opened = platform_.files().Open(
      path_, platform::kGenericRead, platform::kShareRead | platform::kShareWrite,
      platform::Disposition::kOpenExisting, platform::kAttrNormal, &file);
  if (IsMissing(opened)) return true;
  if (opened != kSuccess) return false;
  *exists = true;
  std::string text;
  std::vector<char> buffer(kReadChunk);
  for (;;) {
    uint32_t read = 0;
    if (file->Read(buffer.data(), kReadChunk, &read) != kSuccess) return false;
    if (read == 0) break;
    text.append(buffer.data(), read);
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::optional<JournalRecord> record = DecodeRecord(line)) {
      records->push_back(std::move(*record));
    }
    start = end + 1;
  }
  return true;
}

bool JournalFile::OpenForAppend() {
  if (file_) return true;
  if (path_.empty()) return false;
  auto open = [this] {
    return platform_.files().Open(path_, platform::kGenericRead | platform::kGenericWrite,
                                  platform::kShareRead, platform::Disposition::kOpenAlways,
                                  platform::kAttrNormal, &file_);
  };
  platform::WinError opened = open();
  if (opened == platform::kErrorPathNotFound &&
      platform_.shell().MakeSureDirectoryPathExists(platform::FolderPart(path_) + "\\")) {
    opened = open();
  }
  if (opened != kSuccess) {
    file_.reset();
    return false;
  }
  uint64_t end = 0;
  if (file_->Seek(0, platform::SeekOrigin::kEnd, &end) != kSuccess) {
    file_.reset();
    return false;
  }
  return true;
}

bool JournalFile::Append(const JournalRecord& record) {
  if (!OpenForAppend()) return false;
  uint64_t before = 0;
  if (file_->Seek(0, platform::SeekOrigin::kEnd, &before) != kSuccess) return false;
  const std::string text = "\n" + EncodeRecord(record) + "\n";
  uint32_t written = 0;
  if (file_->Write(text.data(), static_cast<uint32_t>(text.size()), &written) == kSuccess &&
      written == text.size() && file_->Flush() == kSuccess) {
    return true;
  }
  // A record that is not on the disk must not stay to be taken for one that is.
  uint64_t position = 0;
  if (file_->Seek(static_cast<int64_t>(before), platform::SeekOrigin::kBegin, &position) ==
      kSuccess) {
    file_->SetEnd();
    file_->Flush();
  }
  return false;
}

bool JournalFile::Length(uint64_t* length) {
  *length = 0;
  if (file_) return file_->Size(length) == kSuccess;
  if (path_.empty()) return true;
  std::vector<platform::DirEntry> entries;
  const platform::WinError found = platform_.files().Find(path_, &entries);
  if (IsMissing(found)) return true;
  if (found != kSuccess || entries.empty()) return false;
  *length = entries[0].size;
  return true;
}

bool JournalFile::TruncateTo(uint64_t length) {
  if (length == 0) {
    Close();
    if (path_.empty()) return true;
    const platform::WinError deleted = platform_.files().Delete(path_);
    return deleted == kSuccess || IsMissing(deleted);
  }
  if (!OpenForAppend()) return false;
  uint64_t position = 0;
  const bool cut = file_->Seek(static_cast<int64_t>(length), platform::SeekOrigin::kBegin,
                               &position) == kSuccess &&
                   file_->SetEnd() == kSuccess && file_->Flush() == kSuccess;
  Close();
  return cut;
}

}  // namespace qdw::journal
