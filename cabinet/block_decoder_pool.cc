#include "cabinet/block_decoder_pool.h"

#include <cstring>

#include "cabinet/block_compressor.h"
#include "cabinet/cab_format.h"
#include "cabinet/fdi.h"

namespace qdw::cab {
namespace {

// Enough queued blocks per worker to keep it busy on a folder of its own while the reading
// thread writes out an earlier one (a folder holds about 28 blocks).
constexpr size_t kSlotsPerWorker = 24;
constexpr size_t kLeastSlots = 4;
constexpr size_t kSlotBytes = kMaxBlockPayload + kBlockSize;

}  // namespace

int DecodingThreads() {
  // One thread in all is the reading thread alone, as with compression.
  int threads = CompressionThreads();
  return threads > 1 ? threads : 0;
}

BlockDecoderPool::~BlockDecoderPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  for (Decoder* decoder : decoders_) DeleteObject(*memory_, decoder);
}

bool BlockDecoderPool::Init(int workers) {
  workers_wanted_ = workers < 0 ? 0 : workers;
  return inline_decoder_.mszip.Init(memory_);
}

bool BlockDecoderPool::Prepare() {
  // The ring and the threads come with the first block, not with the pool: most readers are
  // asked about a volume's header only, and a fresh ring costs more than such a read.
  if (prepared_) return true;
  size_t count = kLeastSlots + kSlotsPerWorker * static_cast<size_t>(workers_wanted_);
  if (!buffers_.Allocate(count * kSlotBytes)) return false;
  try {
    slots_.resize(count);
  } catch (...) {
    return false;
  }
  for (size_t i = 0; i < count; ++i) {
    slots_[i].in = buffers_.data() + i * kSlotBytes;
    slots_[i].out = slots_[i].in + kMaxBlockPayload;
  }
  prepared_ = true;
  for (int i = 0; i < workers_wanted_; ++i) {
    Decoder* decoder = NewObject<Decoder>(*memory_);
    if (decoder == nullptr) break;
    if (!decoder->mszip.Init(memory_)) {
      DeleteObject(*memory_, decoder);
      break;
    }
    try {
      decoders_.push_back(decoder);
    } catch (...) {
      DeleteObject(*memory_, decoder);
      break;
    }
    try {
      threads_.emplace_back(&BlockDecoderPool::Work, this, decoder);
    } catch (...) {
      break;  // fewer threads than asked; the destructor frees the idle decoder
    }
  }
  return true;
}

uint32_t BlockDecoderPool::NewJob() {
  std::lock_guard<std::mutex> lock(mutex_);
  ended_before_ = next_job_;
  work_ready_.notify_all();
  return next_job_++;
}

void BlockDecoderPool::EndJob(uint32_t job) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (job + 1 > ended_before_) ended_before_ = job + 1;
  work_ready_.notify_all();
}

void BlockDecoderPool::Queue(uint32_t job) {
  std::lock_guard<std::mutex> lock(mutex_);
  DecodeSlot* slot = Tail();
  slot->job = job;
  slot->state = DecodeSlot::State::kQueued;
  ++count_;
  unpublished_ = true;
}

void BlockDecoderPool::Publish() {
  // One wake-up for a batch of blocks rather than one per block.
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!unpublished_) return;
    unpublished_ = false;
  }
  work_ready_.notify_all();
}

DecodeSlot* BlockDecoderPool::WaitHead() {
  DecodeSlot* slot = &slots_[head_];
  if (threads_.empty()) {
    if (slot->state == DecodeSlot::State::kQueued) {
      if (!inline_decoder_.has_job || inline_decoder_.job != slot->job) {
        inline_decoder_.job = slot->job;
        inline_decoder_.has_job = true;
        inline_decoder_.failed = false;
        inline_decoder_.mszip.StartFolder();
      }
      Decode(&inline_decoder_, slot);
      slot->state = DecodeSlot::State::kDone;
    }
    return slot;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  if (unpublished_) {
    unpublished_ = false;
    work_ready_.notify_all();
  }
  reader_waiting_ = true;
  block_done_.wait(lock, [slot] { return slot->state == DecodeSlot::State::kDone; });
  reader_waiting_ = false;
  return slot;
}

void BlockDecoderPool::ReleaseHead() {
  std::lock_guard<std::mutex> lock(mutex_);
  slots_[head_].state = DecodeSlot::State::kFree;
  head_ = (head_ + 1) % slots_.size();
  --count_;
}

void BlockDecoderPool::Clear() {
  std::unique_lock<std::mutex> lock(mutex_);
  first_job_ = next_claim_ = ended_before_ = next_job_;
  reader_waiting_ = true;
  block_done_.wait(lock, [this] {
    for (const DecodeSlot& slot : slots_) {
      if (slot.state == DecodeSlot::State::kDecoding) return false;
    }
    return true;
  });
  reader_waiting_ = false;
  unpublished_ = false;
  for (DecodeSlot& slot : slots_) slot.state = DecodeSlot::State::kFree;
  head_ = count_ = 0;
  inline_decoder_.has_job = false;
  work_ready_.notify_all();
}

DecodeSlot* BlockDecoderPool::OldestQueued(uint32_t job) {
  for (size_t i = 0; i < count_; ++i) {
    DecodeSlot& slot = slots_[(head_ + i) % slots_.size()];
    if (slot.job == job && slot.state == DecodeSlot::State::kQueued) return &slot;
  }
  return nullptr;
}

void BlockDecoderPool::Work(Decoder* decoder) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    if (decoder->has_job && decoder->job < first_job_) decoder->has_job = false;
    if (!decoder->has_job) {
      if (next_claim_ < next_job_) {
        decoder->job = next_claim_++;
        decoder->has_job = true;
        decoder->failed = false;
        decoder->mszip.StartFolder();
      } else {
        work_ready_.wait(lock);
      }
      continue;
    }
    if (DecodeSlot* slot = OldestQueued(decoder->job)) {
      slot->state = DecodeSlot::State::kDecoding;
      lock.unlock();
      Decode(decoder, slot);
      lock.lock();
      slot->state = DecodeSlot::State::kDone;
      if (reader_waiting_) block_done_.notify_all();
    } else if (decoder->job < ended_before_) {
      decoder->has_job = false;  // the folder is done: on to the next one
    } else {
      work_ready_.wait(lock);
    }
  }
}

void BlockDecoderPool::Decode(Decoder* decoder, DecodeSlot* slot) {
  // After a failure the history is wrong: nothing later in the folder can be trusted.
  if (decoder->failed || slot->result != FDIERROR_NONE) {
    decoder->failed = true;
    if (slot->result == FDIERROR_NONE) slot->result = FDIERROR_MDI_FAIL;
    return;
  }
  bool good = false;
  if (slot->type == kCompressNone) {
    good = slot->in_size == slot->out_size;
    if (good) std::memcpy(slot->out, slot->in, slot->out_size);
  } else {
    good = decoder->mszip.Decode(slot->in, slot->in_size, slot->out, slot->out_size);
  }
  if (!good) {
    decoder->failed = true;
    slot->result = FDIERROR_MDI_FAIL;
  }
}

}  // namespace qdw::cab
