// A temporary file, named and opened through the caller's callbacks, that collects one part of a
// volume (its file entries or its data blocks) until the volume is written out. Keeps memory
// bounded whatever the size of the set.
#ifndef QDW_CABINET_STAGING_FILE_H_
#define QDW_CABINET_STAGING_FILE_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_memory.h"
#include "cabinet/fci_callbacks.h"

namespace qdw::cab {

class StagingFile {
 public:
  enum class CopyResult { kOk, kStagingFailed, kDestinationFailed };

  StagingFile(const FciCallbacks* io, const MemoryCallbacks* memory);
  ~StagingFile();
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;

  // Names and creates the file. FCIERR_NONE, FCIERR_TEMP_FILE or FCIERR_ALLOC_FAIL.
  int Create(int* err);

  bool Append(const void* data, size_t size, int* err);
  uint64_t size() const { return size_; }

  // Copies everything appended since the last Restart to the open file `destination`.
  CopyResult CopyTo(intptr_t destination, int* err);

  // Forgets the content; the file is reused for the next volume.
  bool Restart(int* err);

  // Closes and deletes the file.
  void Remove();

 private:
  bool Flush(int* err);

  const FciCallbacks* io_;
  CabVector<uint8_t> buffer_;
  size_t buffered_ = 0;
  uint64_t size_ = 0;
  intptr_t handle_ = -1;
  char name_[CB_MAX_FILENAME] = {};
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_STAGING_FILE_H_
