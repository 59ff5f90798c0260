#include "cabinet/zlib_memory.h"

#include <cstdint>

namespace qdw::cab {
namespace {

voidpf ZlibAlloc(voidpf opaque, uInt items, uInt size) {
  uint64_t bytes = static_cast<uint64_t>(items) * size;
  return static_cast<const MemoryCallbacks*>(opaque)->Allocate(static_cast<size_t>(bytes));
}

void ZlibFree(voidpf opaque, voidpf block) {
  static_cast<const MemoryCallbacks*>(opaque)->release(block);
}

}  // namespace

void UseCallbackMemory(z_stream* stream, const MemoryCallbacks* memory) {
  stream->zalloc = ZlibAlloc;
  stream->zfree = ZlibFree;
  stream->opaque = const_cast<MemoryCallbacks*>(memory);
}

}  // namespace qdw::cab
