// Decoding of data blocks on worker threads while the reading thread writes out what is done.
// The reading thread queues raw blocks in stream order; each folder is a job that one worker
// decodes block by block (a block's dictionary is its predecessor's output), and different
// folders decode at the same time. Blocks come back in the order they were queued. A fixed
// ring of slots bounds the memory, whatever the size of the input.
#ifndef QDW_CABINET_BLOCK_DECODER_POOL_H_
#define QDW_CABINET_BLOCK_DECODER_POOL_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "cabinet/cab_memory.h"
#include "cabinet/mszip_decoder.h"

namespace qdw::cab {

struct DecodeSlot {
  uint32_t job = 0;
  uint16_t type = 0;  // kCompressNone or kCompressMszip
  uint32_t in_size = 0;
  uint16_t out_size = 0;   // the size the block must decode to
  int result = 0;          // FDIERROR_NONE, or why the block has no data
  uint8_t* in = nullptr;   // kMaxBlockPayload bytes
  uint8_t* out = nullptr;  // kBlockSize bytes
  enum class State { kFree, kQueued, kDecoding, kDone } state = State::kFree;
};

class BlockDecoderPool {
 public:
  explicit BlockDecoderPool(const MemoryCallbacks* memory) : memory_(memory) {}
  ~BlockDecoderPool();
  BlockDecoderPool(const BlockDecoderPool&) = delete;
  BlockDecoderPool& operator=(const BlockDecoderPool&) = delete;

  // `workers` threads (0: blocks are decoded by the reading thread when it takes them). False
  // when zlib state cannot be had.
  bool Init(int workers);
  // Makes the ring and starts the threads, once; before any block is queued. False when memory
  // cannot be had; fewer threads than asked when they cannot start.
  bool Prepare();

  // Reading thread only, from here on, and only after Prepare.

  // Starts the next folder; the previous ones get no more blocks.
  uint32_t NewJob();
  // The job gets no more blocks.
  void EndJob(uint32_t job);
  bool Full() const { return count_ == slots_.size(); }
  bool Empty() const { return count_ == 0; }
  // The slot the next queued block goes to (the same until Queue); only when not Full().
  DecodeSlot* Tail() { return &slots_[(head_ + count_) % slots_.size()]; }
  // Queues the tail slot (with `type` set) for `job`: decoded unless its result already tells
  // a failure. The workers see queued blocks after Publish.
  void Queue(uint32_t job);
  void Publish();
  // The oldest queued block, decoded (result FDIERROR_MDI_FAIL when it does not decode). Only
  // when not Empty().
  DecodeSlot* WaitHead();
  // The job of the oldest queued block; only when not Empty().
  uint32_t HeadJob() const { return slots_[head_].job; }
  // Gives the oldest block's slot back.
  void ReleaseHead();
  // Drops every queued block and job; the workers are idle afterwards.
  void Clear();

 private:
  struct Decoder {
    MszipDecoder mszip;
    uint32_t job = 0;
    bool has_job = false;
    bool failed = false;
  };
  void Work(Decoder* decoder);
  // Decodes `slot` with `decoder`, which is on the slot's job.
  void Decode(Decoder* decoder, DecodeSlot* slot);
  DecodeSlot* OldestQueued(uint32_t job);

  const MemoryCallbacks* memory_;
  CabBuffer buffers_{memory_};
  std::vector<DecodeSlot> slots_;
  size_t head_ = 0;
  size_t count_ = 0;
  uint32_t first_job_ = 0;  // jobs before it were dropped
  uint32_t next_job_ = 0;
  uint32_t next_claim_ = 0;    // the next job a worker takes on
  uint32_t ended_before_ = 0;  // jobs before it get no more blocks
  Decoder inline_decoder_;
  std::vector<Decoder*> decoders_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable block_done_;
  int workers_wanted_ = 0;
  bool prepared_ = false;
  bool stop_ = false;
  bool unpublished_ = false;     // blocks were queued since the workers were last woken
  bool reader_waiting_ = false;  // the reading thread waits in WaitHead or Clear
};

// Decoder threads for reading, beside the reading thread: none when QDW_THREADS is 1 or the
// machine has one core, else QDW_THREADS when set to a positive number or the machine's
// cores; at most 16.
int DecodingThreads();

}  // namespace qdw::cab

#endif  // QDW_CABINET_BLOCK_DECODER_POOL_H_
