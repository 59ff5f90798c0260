// The packing step of a backup: turn the work folder into a set of cabinet volumes. The
// program packs with the archive writer library; tests may pack otherwise.
#ifndef QDW_ENGINE_BACKUP_ARCHIVE_PACKER_H_
#define QDW_ENGINE_BACKUP_ARCHIVE_PACKER_H_

#include <cstdint>
#include <functional>
#include <string>

namespace qdw::backup {

// Result of the archive writer when the cabinet file could not be created.
inline constexpr int kPackCannotCreateCabinet = 6;

// How far packing has got: the bytes of the files packed so far and the volume being written
// (from 1).
using PackProgress = std::function<void(uint64_t bytes_packed, int volume)>;

class ArchivePacker {
 public:
  virtual ~ArchivePacker() = default;
  // Where the packs that follow report how far they have got (empty: nowhere). A packer that
  // cannot tell says nothing.
  virtual void set_progress(PackProgress progress) { (void)progress; }
  // Packs `source_folder` into the set whose first volume is `archive_path`. Sets
  // `last_volume_name` to the file name of the last continuation volume ("<base>_add<K>.qdw"),
  // or empty for a one-volume set. Returns 0 or the writer's error code.
  virtual int Pack(const std::string& source_folder, const std::string& archive_path,
                   std::string* last_volume_name) = 0;
};

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_ARCHIVE_PACKER_H_
