// Turns the uncompressed blocks of a folder into CFDATA payloads, handing results back in the
// order the blocks were submitted. The writer commits results to volumes; how and where the
// compression runs (inline or on worker threads) stays behind this interface, and the payloads
// are the same either way.
#ifndef QDW_CABINET_BLOCK_COMPRESSOR_H_
#define QDW_CABINET_BLOCK_COMPRESSOR_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_memory.h"

namespace qdw::cab {

struct BlockResult {
  const uint8_t* payload = nullptr;
  size_t payload_size = 0;
  uint32_t uncompressed_size = 0;
  bool ok = false;
};

class BlockCompressor {
 public:
  virtual ~BlockCompressor() = default;

  // False when every buffer holds a block whose result has not been popped yet.
  virtual bool HasFreeSlot() const = 0;
  // Where the next block's bytes go (kBlockSize bytes); stable until Submit.
  virtual uint8_t* Input() = 0;
  // Hands over `size` bytes of Input(). `folder_start`: the block begins a folder, so it gets
  // no history. `type_compress` is kCompressMszip or kCompressNone.
  virtual void Submit(size_t size, uint16_t type_compress, bool folder_start) = 0;
  // The oldest submitted block if it is finished (waiting for it when `wait`); nullptr when
  // nothing is submitted, or when it is not finished and `wait` is false. Valid until PopFront.
  virtual const BlockResult* Front(bool wait) = 0;
  virtual void PopFront() = 0;
  // Submitted blocks not popped yet.
  virtual size_t Outstanding() const = 0;
};

// zlib level of MSZIP blocks. With the folder's history as dictionary, level 5 compresses
// document text about 10 % smaller than level 6 without history (what gcab writes) in less time;
// level 6 with history gains under 2 % more for about 1.6 times the time.
inline constexpr int kMszipLevel = 5;

// A compressor running on `threads` worker threads (1: inline, no threads). nullptr when memory
// or zlib state cannot be had.
BlockCompressor* NewBlockCompressor(const MemoryCallbacks* memory, int threads, int level);
void DeleteBlockCompressor(const MemoryCallbacks* memory, BlockCompressor* compressor);

// Threads to use: QDW_THREADS when set to a positive number, else the machine's cores; at
// most 16, which keeps the compressor's memory under 16 MiB.
int CompressionThreads();

}  // namespace qdw::cab

#endif  // QDW_CABINET_BLOCK_COMPRESSOR_H_
