#include "cabinet/serial_block_compressor.h"

#include <cstring>

#include "cabinet/cab_format.h"

namespace qdw::cab {

SerialBlockCompressor::SerialBlockCompressor(const MemoryCallbacks* memory)
    : input_(CallbackAllocator<uint8_t>(memory)), output_(CallbackAllocator<uint8_t>(memory)) {}

bool SerialBlockCompressor::Init(int level) {
  input_.resize(2 * kBlockSize);
  output_.resize(kMaxBlockPayload);
  return encoder_.Init(input_.get_allocator().memory(), level);
}

uint8_t* SerialBlockCompressor::Input() { return input_.data() + kBlockSize; }

void SerialBlockCompressor::Submit(size_t size, uint16_t type_compress, bool folder_start) {
  if (folder_start) history_size_ = 0;
  const uint8_t* block = Input();
  result_ = BlockResult{};
  result_.uncompressed_size = static_cast<uint32_t>(size);
  if (type_compress == kCompressNone) {
    result_.payload = block;
    result_.payload_size = size;
    result_.ok = true;
  } else {
    result_.payload = output_.data();
    result_.ok = encoder_.Encode(block - history_size_, history_size_, block, size, output_.data(),
                                 output_.size(), &result_.payload_size);
  }
  // The history of the next block: the last 32 KiB of [history | block].
  size_t keep = history_size_ + size < kBlockSize ? history_size_ + size : kBlockSize;
  pending_history_ = keep;
  pending_block_size_ = size;
  has_result_ = true;
}

const BlockResult* SerialBlockCompressor::Front(bool) { return has_result_ ? &result_ : nullptr; }

void SerialBlockCompressor::PopFront() {
  if (!has_result_) return;
  uint8_t* block = Input();
  std::memmove(block - pending_history_, block + pending_block_size_ - pending_history_,
               pending_history_);
  history_size_ = pending_history_;
  has_result_ = false;
}

}  // namespace qdw::cab
