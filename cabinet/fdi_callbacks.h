// The caller's FDI file callbacks with helpers that move whole buffers through them.
#ifndef QDW_CABINET_FDI_CALLBACKS_H_
#define QDW_CABINET_FDI_CALLBACKS_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/fdi.h"

namespace qdw::cab {

struct FdiCallbacks {
  PFNOPEN open = nullptr;
  PFNREAD read = nullptr;
  PFNWRITE write = nullptr;
  PFNCLOSE close = nullptr;
  PFNSEEK seek = nullptr;

  bool Complete() const { return open && read && write && close && seek; }

  // Reads up to `size` bytes; returns the count read (0 on failure or end of file).
  size_t ReadSome(intptr_t hf, void* data, size_t size) const;
  bool ReadAll(intptr_t hf, void* data, size_t size) const;
  bool WriteAll(intptr_t hf, const void* data, size_t size) const;
  bool SeekTo(intptr_t hf, uint64_t offset) const;
  // Size of the open file (the position is left at its start); -1 when it cannot be had.
  int64_t SizeOf(intptr_t hf) const;
  // Opens a cabinet for reading, as the platform's library does.
  intptr_t OpenForReading(const char* path) const;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_FDI_CALLBACKS_H_
