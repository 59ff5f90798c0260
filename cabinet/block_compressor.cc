#include "cabinet/block_compressor.h"

#include <cstdlib>
#include <exception>
#include <new>
#include <thread>

#include "cabinet/parallel_block_compressor.h"
#include "cabinet/serial_block_compressor.h"

namespace qdw::cab {

namespace {

BlockCompressor* NewParallel(const MemoryCallbacks* memory, int threads, int level) {
  auto* compressor = NewObject<ParallelBlockCompressor>(*memory, memory);
  if (compressor == nullptr) return nullptr;
  bool ready = false;
  try {
    ready = compressor->Init(threads, level);
  } catch (const std::exception&) {
    // No memory or no threads: the inline compressor does the same work.
  }
  if (!ready) {
    DeleteObject(*memory, compressor);
    return nullptr;
  }
  return compressor;
}

}  // namespace

BlockCompressor* NewBlockCompressor(const MemoryCallbacks* memory, int threads, int level) {
  if (threads > 1) {
    if (BlockCompressor* parallel = NewParallel(memory, threads, level)) return parallel;
  }
  auto* compressor = NewObject<SerialBlockCompressor>(*memory, memory);
  if (compressor == nullptr) return nullptr;
  bool ready = false;
  try {
    ready = compressor->Init(level);
  } catch (const std::bad_alloc&) {
  }
  if (!ready) {
    DeleteObject(*memory, compressor);
    return nullptr;
  }
  return compressor;
}

void DeleteBlockCompressor(const MemoryCallbacks* memory, BlockCompressor* compressor) {
  DeleteObject(*memory, compressor);
}

int CompressionThreads() {
  // Each worker holds about 450 KiB (zlib state and two blocks); a folder rarely keeps more
  // than this many busy anyway.
  constexpr long kMostThreads = 16;
  long threads = static_cast<long>(std::thread::hardware_concurrency());
  if (const char* text = std::getenv("QDW_THREADS")) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end != text && *end == 0 && value > 0) threads = value;
  }
  if (threads < 1) threads = 1;
  return static_cast<int>(threads > kMostThreads ? kMostThreads : threads);
}

}  // namespace qdw::cab
