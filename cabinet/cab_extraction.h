// One FDICopy call: reads the volume's directory, announces its files through the caller's
// notification callback and writes the data of every file that begins in this volume, opening
// the following volumes (one attempt each) when a file goes on there.
#ifndef QDW_CABINET_CAB_EXTRACTION_H_
#define QDW_CABINET_CAB_EXTRACTION_H_

#include <cstdint>

#include "cabinet/cab_memory.h"
#include "cabinet/fdi.h"
#include "cabinet/fdi_callbacks.h"
#include "cabinet/folder_stream.h"
#include "cabinet/volume_index.h"

namespace qdw::cab {

// What an FDICreate context holds for its copies.
struct FdiEngine {
  FdiEngine(const MemoryCallbacks& memory_callbacks, const FdiCallbacks& io_callbacks)
      : memory(memory_callbacks), io(io_callbacks), stream(&io, &memory) {}

  MemoryCallbacks memory;
  FdiCallbacks io;
  FolderStream stream;
  bool busy = false;
};

class CabExtraction : public NextVolumeOpener {
 public:
  CabExtraction(FdiEngine* engine, PFNFDINOTIFY notify, void* user);
  ~CabExtraction() override;
  CabExtraction(const CabExtraction&) = delete;
  CabExtraction& operator=(const CabExtraction&) = delete;

  // Extracts the volume `path` + `cabinet`. FDIERROR_NONE or the code of the failure.
  int Run(const char* cabinet, const char* path);

  int OpenNext(uint16_t type_compress, BlockSource* source) override;
  bool NextFolderAfter(uint16_t folder, PlannedFolder* next) override;

 private:
  int ExtractEntry(const VolumeIndex::File& file);
  int PositionStream(uint16_t folder, uint32_t offset);
  int AnnounceVolume(const VolumeIndex& volume);
  // Where `folder` of the first volume lies; FDIERROR_NONE, or why it cannot be read.
  int DescribeFolder(uint16_t folder, PlannedFolder* plan) const;
  // The folders that files beginning in the first volume start in, ascending.
  void ListUsedFolders();
  // Sends a notification; -1 from the callback becomes FDIERROR_USER_ABORT.
  int Notify(FDINOTIFICATIONTYPE type, FDINOTIFICATION* notification, intptr_t* answer);

  FdiEngine* engine_;
  PFNFDINOTIFY notify_;
  void* user_;
  char path_[CB_MAX_CAB_PATH] = {};
  VolumeIndex volume_;
  VolumeIndex data_volume_;
  intptr_t volume_hf_ = -1;
  intptr_t data_hf_ = -1;
  uint16_t data_set_id_ = 0;
  uint16_t data_index_ = 0;
  CabVector<uint16_t> used_folders_;
  int current_folder_ = -1;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_CAB_EXTRACTION_H_
