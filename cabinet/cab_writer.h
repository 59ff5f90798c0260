// The compression context behind FCICreate: adds files to folders, compresses their blocks,
// fills volumes up to their size limit and continues a folder in the next volume when one is
// full.
//
// Continuation follows what readers of the format require: a full volume ends with the first
// fragment of a split data block (cbUncomp 0); every file touching that block is listed in both
// volumes (continued to next / from previous); the folder then takes no further files, so the
// next file starts a new folder. Decisions depend only on the data, never on timing, so the
// output is the same whatever the compressor's thread count.
#ifndef QDW_CABINET_CAB_WRITER_H_
#define QDW_CABINET_CAB_WRITER_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/block_compressor.h"
#include "cabinet/cab_format.h"
#include "cabinet/cab_memory.h"
#include "cabinet/fci.h"
#include "cabinet/fci_callbacks.h"
#include "cabinet/volume_builder.h"

namespace qdw::cab {

class CabinetWriter {
 public:
  CabinetWriter(const FciCallbacks& io, const MemoryCallbacks& memory, PERF erf, const CCAB& ccab);
  ~CabinetWriter();
  CabinetWriter(const CabinetWriter&) = delete;
  CabinetWriter& operator=(const CabinetWriter&) = delete;

  // Checks the parameters and creates the staging files and the compressor.
  bool Init();

  bool AddFile(const char* source, const char* name, bool execute, PFNFCIGETNEXTCABINET next,
               PFNFCISTATUS status, PFNFCIGETOPENINFO open_info, TCOMP type_compress);
  bool FlushFolder(PFNFCIGETNEXTCABINET next, PFNFCISTATUS status);
  bool FlushCabinet(bool get_next, PFNFCIGETNEXTCABINET next, PFNFCISTATUS status);

  const MemoryCallbacks& memory() const { return memory_; }
  // Records a failure in the error record; every later call fails too.
  bool Fail(int code, int err = 0);

 private:
  // A file entry of the open folder whose blocks are not all in the volume yet.
  struct PendingEntry {
    FileFields fields;
    uint64_t end = 0;
    uint16_t name_length = 0;
    char name[kMaxNameLength + 1] = {};
  };

  bool PlaceEntry(PendingEntry* entry, uint16_t type_compress);
  bool EntryFits(size_t entry_size, bool new_folder) const;
  bool CommitIfUndecided(size_t needed);
  bool Feed(intptr_t source, uint64_t size);
  void OpenFolder(uint16_t type_compress);
  bool CloseFolder();
  bool SubmitBlock();
  bool WaitForFreeSlot();
  bool CommitFinished(bool wait);
  bool Commit(const BlockResult& result);
  bool PlaceBlock(const uint8_t* payload, size_t size, uint32_t uncompressed_size);
  bool SplitVolume();
  bool FinishVolume(bool with_next);
  bool NameNextVolume(CCAB* ccab);
  bool SettleEntries();
  bool StageEntry(const PendingEntry& entry, uint16_t folder_code);
  size_t WorstBlockRecord() const;

  FciCallbacks io_;
  MemoryCallbacks memory_;
  PERF erf_;
  bool failed_ = false;
  CCAB first_ccab_;
  uint64_t limit_ = 0;
  uint64_t threshold_ = 0;
  VolumeBuilder volume_;
  BlockCompressor* compressor_ = nullptr;
  PFNFCIGETNEXTCABINET next_ = nullptr;
  PFNFCISTATUS status_ = nullptr;
  bool set_closed_ = false;

  // The open folder.
  bool folder_open_ = false;
  uint16_t folder_type_ = kCompressMszip;
  uint64_t folder_bytes_ = 0;   // uncompressed bytes fed into it
  uint64_t committed_end_ = 0;  // uncompressed bytes whose blocks are in a volume
  size_t block_fill_ = 0;       // bytes in the block being filled
  bool folder_first_block_ = true;
  bool folder_continued_ = false;  // began in an earlier volume
  bool close_after_file_ = false;  // a volume break happened: take no further files
  uint64_t in_flight_worst_ = 0;   // largest size the submitted, uncommitted blocks can take
  CabVector<PendingEntry> pending_;
  size_t pending_head_ = 0;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_CAB_WRITER_H_
