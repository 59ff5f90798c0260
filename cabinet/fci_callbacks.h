// The caller's FCI callbacks, kept together with its context value, and small helpers that
// move whole buffers through them.
#ifndef QDW_CABINET_FCI_CALLBACKS_H_
#define QDW_CABINET_FCI_CALLBACKS_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_memory.h"
#include "cabinet/fci.h"

namespace qdw::cab {

struct FciCallbacks {
  PFNFCIFILEPLACED file_placed = nullptr;
  PFNFCIOPEN open = nullptr;
  PFNFCIREAD read = nullptr;
  PFNFCIWRITE write = nullptr;
  PFNFCICLOSE close = nullptr;
  PFNFCISEEK seek = nullptr;
  PFNFCIDELETE remove = nullptr;
  PFNFCIGETTEMPFILE temp_name = nullptr;
  void* pv = nullptr;

  bool Complete() const {
    return file_placed && open && read && write && close && seek && remove && temp_name;
  }

  // Reads or writes exactly `size` bytes; false (with *err from the callback) otherwise.
  bool ReadAll(intptr_t hf, void* data, size_t size, int* err) const;
  bool WriteAll(intptr_t hf, const void* data, size_t size, int* err) const;
  bool SeekTo(intptr_t hf, long offset, int* err) const;
  void CloseQuietly(intptr_t hf) const;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_FCI_CALLBACKS_H_
