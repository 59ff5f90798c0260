#include "cabinet/parallel_block_compressor.h"

#include <cstring>

#include "cabinet/cab_format.h"

namespace qdw::cab {
namespace {

constexpr size_t kInputSize = 2 * kBlockSize;
// About 100 KiB each: 8 per worker keep 16 workers under 14 MiB.
constexpr size_t kSlotsPerWorker = 8;

}  // namespace

ParallelBlockCompressor::ParallelBlockCompressor(const MemoryCallbacks* memory)
    : memory_(memory),
      buffers_(CallbackAllocator<uint8_t>(memory)),
      slots_(CallbackAllocator<Slot>(memory)),
      encoders_(CallbackAllocator<MszipEncoder*>(memory)) {}

ParallelBlockCompressor::~ParallelBlockCompressor() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  for (MszipEncoder* encoder : encoders_) DeleteObject(*memory_, encoder);
}

bool ParallelBlockCompressor::Init(int threads, int level) {
  // Several blocks per worker: on a busy machine the reading thread and the workers are taken
  // off the processor at different times, and a short ring would leave the others idle then.
  size_t slot_count = kSlotsPerWorker * static_cast<size_t>(threads) + 1;
  buffers_.resize(slot_count * (kInputSize + kMaxBlockPayload));
  slots_.resize(slot_count);
  for (size_t i = 0; i < slot_count; ++i) {
    slots_[i].input = buffers_.data() + i * (kInputSize + kMaxBlockPayload);
    slots_[i].output = slots_[i].input + kInputSize;
  }
  for (int i = 0; i < threads; ++i) {
    auto* encoder = NewObject<MszipEncoder>(*memory_);
    if (encoder == nullptr) return false;
    encoders_.push_back(encoder);
    if (!encoder->Init(memory_, level)) return false;
  }
  for (MszipEncoder* encoder : encoders_) {
    workers_.emplace_back([this, encoder] { Work(encoder); });
  }
  return true;
}

bool ParallelBlockCompressor::HasFreeSlot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slots_[head_].state == State::kFree;
}

uint8_t* ParallelBlockCompressor::Input() { return slots_[head_].input + kBlockSize; }

void ParallelBlockCompressor::Submit(size_t size, uint16_t type_compress, bool folder_start) {
  Slot& slot = slots_[head_];
  slot.type = type_compress;
  slot.size = size;
  slot.history = 0;
  if (!folder_start && type_compress != kCompressNone && submitted_ > 0) {
    // The folder's last 32 KiB end where the previous block ends; that slot is untouched until
    // the ring comes round to it again.
    const Slot& previous = slots_[(head_ + slots_.size() - 1) % slots_.size()];
    size_t available = previous.history + previous.size;
    slot.history = available < kBlockSize ? available : kBlockSize;
    std::memcpy(slot.input + kBlockSize - slot.history,
                previous.input + kBlockSize + previous.size - slot.history, slot.history);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    slot.state = State::kQueued;
    ++submitted_;
  }
  work_ready_.notify_one();
  head_ = (head_ + 1) % slots_.size();
}

const BlockResult* ParallelBlockCompressor::Front(bool wait) {
  if (popped_ == submitted_) return nullptr;
  Slot& slot = slots_[tail_];
  std::unique_lock<std::mutex> lock(mutex_);
  if (wait) block_done_.wait(lock, [&] { return slot.state == State::kDone; });
  return slot.state == State::kDone ? &slot.result : nullptr;
}

void ParallelBlockCompressor::PopFront() {
  if (popped_ == submitted_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_[tail_].state = State::kFree;
  }
  tail_ = (tail_ + 1) % slots_.size();
  ++popped_;
}

void ParallelBlockCompressor::Work(MszipEncoder* encoder) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [&] { return stopping_ || taken_ < submitted_; });
    if (stopping_) return;
    Slot* slot = &slots_[next_to_compress_];
    next_to_compress_ = (next_to_compress_ + 1) % slots_.size();
    ++taken_;
    lock.unlock();
    Compress(encoder, slot);
    lock.lock();
    slot->state = State::kDone;
    block_done_.notify_all();
  }
}

void ParallelBlockCompressor::Compress(MszipEncoder* encoder, Slot* slot) {
  const uint8_t* block = slot->input + kBlockSize;
  BlockResult& result = slot->result;
  result = BlockResult{};
  result.uncompressed_size = static_cast<uint32_t>(slot->size);
  if (slot->type == kCompressNone) {
    result.payload = block;
    result.payload_size = slot->size;
    result.ok = true;
    return;
  }
  result.payload = slot->output;
  result.ok = encoder->Encode(block - slot->history, slot->history, block, slot->size, slot->output,
                              kMaxBlockPayload, &result.payload_size);
}

}  // namespace qdw::cab
