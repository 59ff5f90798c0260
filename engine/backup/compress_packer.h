// Packing with the archive writer library's Compress export.
#ifndef QDW_ENGINE_BACKUP_COMPRESS_PACKER_H_
#define QDW_ENGINE_BACKUP_COMPRESS_PACKER_H_

#include <string>
#include <utility>

#include "engine/backup/archive_packer.h"

namespace qdw::backup {

class CompressPacker : public ArchivePacker {
 public:
  int Pack(const std::string& source_folder, const std::string& archive_path,
           std::string* last_volume_name) override;
  void set_progress(PackProgress progress) override { progress_ = std::move(progress); }

 private:
  PackProgress progress_;
};

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_COMPRESS_PACKER_H_
