// The share information file "BackupShareInfo.txt" in the root of the work folder: one
// record per shared folder of the product (with the share's remark, user limit and access
// list when the user may write the product's machine settings), and copies of the shared
// folders that lie outside the product's data folder.
#ifndef QDW_ENGINE_BACKUP_SHARE_INFO_WRITER_H_
#define QDW_ENGINE_BACKUP_SHARE_INFO_WRITER_H_

#include <string>
#include <vector>

#include "engine/common/archive_names.h"
#include "engine/common/portable_folder.h"
#include "engine/common/tree_copier.h"
#include "platform/platform.h"
#include "settings/product_settings.h"

namespace qdw::backup {

enum class ShareInfoResult {
  kWritten,
  // A copy folder could not be made or the file could not be written; no file, or an
  // incomplete one, is left for the caller to discard with the work folder.
  kFailed,
  // The file is written, but a shared folder's copy is incomplete for a reason other than
  // files held by other programs.
  kCopyIncomplete,
};

class ShareInfoWriter {
 public:
  ShareInfoWriter(platform::Platform& platform, settings::ProductSettings& settings,
                  engine::TreeCopier& copier)
      : platform_(platform), settings_(settings), copier_(copier) {}

  // `shared_folders` holds the product's entries "key name,folder path".
  ShareInfoResult Write(const std::vector<std::string>& shared_folders,
                        const std::string& work_folder);

 private:
  struct Entry {
    std::string key;
    std::string folder;
  };
  struct ListedShare {
    std::string name;
    std::string path;
  };

  std::vector<ListedShare> ListShares();
  // ",key,!vnqdw!remark!vnqdw!,limit" and the access entries; empty when the share cannot
  // be queried.
  std::string ShareDetails(const std::string& key, const std::string& share_name);
  // False when a copy target could not be made; `incomplete` tells about the copy itself.
  bool CopyOutsideFolders(const std::vector<Entry>& entries, const std::string& work_folder,
                          const engine::PortableFolders& places, bool* incomplete);
  bool WriteFile(const std::string& path, const std::vector<std::string>& records);

  platform::Platform& platform_;
  settings::ProductSettings& settings_;
  engine::TreeCopier& copier_;
};

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_SHARE_INFO_WRITER_H_
