#include "engine/backup/share_info_writer.h"

#include <memory>

#include "engine/common/folder_listing.h"
#include "platform/keepable_names.h"
#include "platform/windows_path.h"
#include "security/dacl_builder.h"
#include "security/share_permission_codes.h"

namespace qdw::backup {
namespace {

using platform::kSuccess;

// A share listing that keeps asking for more after this many batches is not trusted.
constexpr int kMaxShareBatches = 4096;

std::string ShellFolder(platform::Shell& shell, int csidl) {
  std::string path;
  if (shell.SpecialFolder(csidl, &path) != kSuccess) return std::string();
  return path;
}

}  // namespace

ShareInfoResult ShareInfoWriter::Write(const std::vector<std::string>& shared_folders,
                                       const std::string& work_folder) {
  platform::Shell& shell = platform_.shell();
  std::string repository;
  if (!settings_.ReadUserRepositoryPath(&repository)) repository.clear();
  engine::PortableFolders places(repository, ShellFolder(shell, platform::kCsidlDesktop),
                                 ShellFolder(shell, platform::kCsidlPersonal));

  std::vector<Entry> entries;
  for (const std::string& text : shared_folders) {
    size_t comma = text.find(',');
    if (comma == std::string::npos) {
      entries.push_back({std::string(), text});
    } else {
      entries.push_back({text.substr(0, comma), text.substr(comma + 1)});
    }
  }

  bool writable = false;
  if (!settings_.CanWriteProductSettings(&writable)) writable = false;

  std::vector<std::string> records;
  if (writable) {
    std::vector<ListedShare> shares = ListShares();
    for (const Entry& entry : entries) {
      if (!platform::PathExists(platform_.files(), entry.folder)) continue;
      std::string record = entry.key + "," + places.Portable(entry.folder);
      for (const ListedShare& share : shares) {
        if (platform::EqualsIgnoreCase(share.path, entry.folder)) {
          record += ShareDetails(entry.key, share.name);
          break;
        }
      }
      records.push_back(record);
    }
  } else {
    for (const Entry& entry : entries) {
      records.push_back(entry.key + "," + places.Portable(entry.folder));
    }
  }

  bool incomplete = false;
  if (!CopyOutsideFolders(entries, work_folder, places, &incomplete)) {
    return ShareInfoResult::kFailed;
  }
  if (!WriteFile(platform::JoinPath(work_folder, engine::kShareInfoFileName), records)) {
    return ShareInfoResult::kFailed;
  }
  return incomplete ? ShareInfoResult::kCopyIncomplete : ShareInfoResult::kWritten;
}

std::vector<ShareInfoWriter::ListedShare> ShareInfoWriter::ListShares() {
  std::vector<ListedShare> listed;
  uint32_t resume = 0;
  for (int batch = 0; batch < kMaxShareBatches; ++batch) {
    std::vector<platform::ShareInfo> shares;
    platform::WinError error = platform_.shares().Enumerate(&resume, &shares);
    if (error != kSuccess && error != platform::kErrorMoreData) break;
    for (const platform::ShareInfo& share : shares) {
      if (share.path) listed.push_back({share.name, *share.path});
    }
    if (error == kSuccess) break;
  }
  return listed;
}

std::string ShareInfoWriter::ShareDetails(const std::string& key, const std::string& share_name) {
  platform::ShareInfo info;
  if (platform_.shares().GetInfo(share_name, &info) != kSuccess) return std::string();
  std::string details = "," + key + "," + engine::kRemarkFence +
                        info.remark.value_or(std::string()) + engine::kRemarkFence + "," +
                        std::to_string(info.max_uses);
  if (info.security && info.security->dacl_present) {
    security::DaclBuilder dacl =
        security::DaclBuilder::FromAcl(platform_.accounts(), info.security->dacl);
    for (const security::AccessEntry& entry : dacl.entries()) {
      details += "," + entry.account.AccountName() + "," +
                 std::to_string(security::CodeForEntry(entry.kind, entry.mask));
    }
  }
  return details;
}

bool ShareInfoWriter::CopyOutsideFolders(const std::vector<Entry>& entries,
                                         const std::string& work_folder,
                                         const engine::PortableFolders& places, bool* incomplete) {
  platform::FileSystem& files = platform_.files();
  bool all_made = true;
  for (const Entry& entry : entries) {
    if (!entry.folder.empty() && entry.folder[0] == '\\') continue;
    if (places.InDataFolder(entry.folder)) continue;
    // The key name becomes a folder of the archive; one that would leave the work folder, or
    // that Windows would not keep as it is (a device name), is refused.
    if (!platform::WindowsCanKeepName(entry.key)) {
      all_made = false;
      continue;
    }
    const std::string target = platform::JoinPath(work_folder, entry.key);
    if (!platform::FolderExists(files, target) &&
        (!engine::FitsPathLimit(target) || files.MakeFolder(target) != kSuccess)) {
      all_made = false;
      continue;
    }
    // A registered folder that is gone has nothing to bring along.
    if (!platform::FolderExists(files, entry.folder)) continue;
    engine::CopyOutcome outcome = copier_.CopyTree(entry.folder, target, work_folder);
    if (outcome.HasUnexpectedFailures()) *incomplete = true;
  }
  return all_made;
}

bool ShareInfoWriter::WriteFile(const std::string& path, const std::vector<std::string>& records) {
  std::string text = "NT\n";
  for (const std::string& record : records) text += record + "\n";
  std::unique_ptr<platform::File> file;
  if (platform_.files().Open(path, platform::kGenericWrite, platform::kShareNone,
                             platform::Disposition::kCreateAlways, platform::kAttrNormal,
                             &file) != kSuccess) {
    return false;
  }
  uint32_t written = 0;
  return file->Write(text.data(), static_cast<uint32_t>(text.size()), &written) == kSuccess &&
         written == text.size();
}

}  // namespace qdw::backup
