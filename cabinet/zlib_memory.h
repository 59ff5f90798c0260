// zlib's allocation hooks routed to the engine's memory callbacks.
#ifndef QDW_CABINET_ZLIB_MEMORY_H_
#define QDW_CABINET_ZLIB_MEMORY_H_

#include <zlib.h>

#include "cabinet/cab_memory.h"

namespace qdw::cab {

// Points the stream's zalloc/zfree at `memory` (which must outlive the stream).
void UseCallbackMemory(z_stream* stream, const MemoryCallbacks* memory);

}  // namespace qdw::cab

#endif  // QDW_CABINET_ZLIB_MEMORY_H_
