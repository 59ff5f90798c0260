// Reads of a volume's data records through the caller's callbacks, a buffer at a time: most
// records are smaller than the buffer, so a read, a seek and a callback round trip serve
// several of them.
#ifndef QDW_CABINET_VOLUME_READER_H_
#define QDW_CABINET_VOLUME_READER_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_memory.h"
#include "cabinet/fdi_callbacks.h"

namespace qdw::cab {

class VolumeReader {
 public:
  VolumeReader(const FdiCallbacks* io, const MemoryCallbacks* memory);
  bool Init();

  // Copies `size` bytes at `offset` of the open volume `hf` to `out`. False when the volume
  // cannot be read there or ends before.
  bool ReadAt(intptr_t hf, uint64_t offset, void* out, size_t size);
  // Forgets the buffered bytes; call whenever a handle may have been closed (its number can
  // come back for another file).
  void Forget() { hf_ = -1; }

 private:
  const FdiCallbacks* io_;
  CabBuffer buffer_;
  intptr_t hf_ = -1;
  uint64_t start_ = 0;
  size_t size_ = 0;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_VOLUME_READER_H_
