// One volume of a set while it is being filled: its folder records in memory, its file entries
// and data blocks staged in temporary files, its size as it would be written, and the final
// write of the cabinet file.
#ifndef QDW_CABINET_VOLUME_BUILDER_H_
#define QDW_CABINET_VOLUME_BUILDER_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_format.h"
#include "cabinet/cab_memory.h"
#include "cabinet/fci.h"
#include "cabinet/fci_callbacks.h"
#include "cabinet/staging_file.h"

namespace qdw::cab {

// Names of a neighbouring volume, as a header link stores them.
struct VolumeLink {
  char cabinet[CB_MAX_CABINET_NAME] = {};
  char disk[CB_MAX_DISK_NAME] = {};
};

struct ReserveSizes {
  uint16_t header = 0;
  uint8_t folder = 0;
  uint8_t data = 0;
};

class VolumeBuilder {
 public:
  VolumeBuilder(const FciCallbacks* io, const MemoryCallbacks* memory, ReserveSizes reserve,
                uint16_t set_id);

  // Creates the staging files. FCIERR_NONE or the failure's code.
  int Init(int* err);

  // Starts an empty volume: `index` is its 0-based place in the set, `prev` the link to the
  // volume before it (nullptr for the first).
  void Begin(const CCAB& ccab, uint16_t index, const VolumeLink* prev);

  const CCAB& ccab() const { return ccab_; }
  CCAB& ccab() { return ccab_; }
  uint16_t index() const { return index_; }
  // This volume's names, for the links of its neighbours.
  VolumeLink OwnLink() const { return LinkOf(ccab_, index_); }
  // The link to a volume with these parameters at place `index`. An empty disk label becomes
  // "DISK<n>" because readers refuse empty link strings.
  static VolumeLink LinkOf(const CCAB& ccab, uint16_t index);

  // Size of the cabinet file if it were written now, counting room for a next link.
  uint64_t Size() const;
  uint32_t file_count() const { return file_count_; }
  uint32_t folder_count() const { return static_cast<uint32_t>(folders_.size()); }
  bool has_data() const { return data_.size() > 0; }
  size_t BlockHeaderSize() const { return kDataHeaderSize + reserve_.data; }
  size_t FolderEntrySize() const { return kFolderEntrySize + reserve_.folder; }
  static size_t EntrySize(size_t name_length) { return kFileEntryFixedSize + name_length + 1; }

  // Opens a folder record whose blocks follow the data staged so far.
  void AddFolder(uint16_t type_compress);
  uint32_t CurrentFolderBlocks() const { return folders_.empty() ? 0 : folders_.back().blocks; }

  // Counts an entry that will be listed in this volume (staged now or later).
  void CountEntry(size_t name_length);
  bool StageEntry(const FileFields& fields, const char* name, size_t name_length, int* err);
  // Stages one CFDATA record of the current folder, with its checksum.
  bool StageBlock(const uint8_t* payload, uint16_t cb_data, uint16_t cb_uncomp, int* err);

  // Writes the cabinet file (szCabPath + szCab) with an optional next link. Returns an FCIERR
  // code; a file left half-written is deleted.
  int WriteOut(const VolumeLink* next, PFNFCISTATUS status, int* err);

 private:
  struct FolderRecord {
    uint64_t data_offset;
    uint32_t blocks;
    uint16_t type_compress;
  };

  size_t HeaderSize(const VolumeLink* next) const;
  int WriteContent(intptr_t hf, const VolumeLink* next, uint64_t total, int* err);

  const FciCallbacks* io_;
  ReserveSizes reserve_;
  uint16_t set_id_;
  CCAB ccab_{};
  uint16_t index_ = 0;
  bool has_prev_ = false;
  VolumeLink prev_;
  CabVector<FolderRecord> folders_;
  CabVector<uint8_t> scratch_;
  uint32_t file_count_ = 0;
  uint64_t entry_bytes_ = 0;
  StagingFile entries_;
  StagingFile data_;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_VOLUME_BUILDER_H_
