// Block compressor that compresses on worker threads while the caller goes on reading. Results
// come back in submission order and are the bytes the inline compressor produces, because each
// block carries its own copy of the folder's history. Workers never allocate and never call the
// caller's callbacks: buffers and zlib state are set up by the constructing thread.
#ifndef QDW_CABINET_PARALLEL_BLOCK_COMPRESSOR_H_
#define QDW_CABINET_PARALLEL_BLOCK_COMPRESSOR_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "cabinet/block_compressor.h"
#include "cabinet/mszip_encoder.h"

namespace qdw::cab {

class ParallelBlockCompressor : public BlockCompressor {
 public:
  explicit ParallelBlockCompressor(const MemoryCallbacks* memory);
  ~ParallelBlockCompressor() override;

  // Sets up `threads` workers and their buffers. False when memory or zlib state is missing.
  bool Init(int threads, int level);

  bool HasFreeSlot() const override;
  uint8_t* Input() override;
  void Submit(size_t size, uint16_t type_compress, bool folder_start) override;
  const BlockResult* Front(bool wait) override;
  void PopFront() override;
  size_t Outstanding() const override { return submitted_ - popped_; }

 private:
  enum class State { kFree, kQueued, kDone };
  // One block in flight: [history | block] in `input`, its payload in `output`.
  struct Slot {
    State state = State::kFree;
    uint16_t type = 0;
    size_t history = 0;
    size_t size = 0;
    BlockResult result;
    uint8_t* input = nullptr;
    uint8_t* output = nullptr;
  };

  void Work(MszipEncoder* encoder);
  void Compress(MszipEncoder* encoder, Slot* slot);

  const MemoryCallbacks* memory_;
  CabVector<uint8_t> buffers_;
  std::vector<Slot, CallbackAllocator<Slot>> slots_;
  std::vector<MszipEncoder*, CallbackAllocator<MszipEncoder*>> encoders_;
  std::vector<std::thread> workers_;
  size_t head_ = 0;       // slot being filled
  size_t tail_ = 0;       // oldest slot not popped
  size_t submitted_ = 0;  // written by the caller's thread under the lock
  size_t popped_ = 0;
  // Slots are compressed in ring order: the next one a worker takes, and how many were taken.
  size_t next_to_compress_ = 0;
  size_t taken_ = 0;
  bool stopping_ = false;
  mutable std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable block_done_;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_PARALLEL_BLOCK_COMPRESSOR_H_
