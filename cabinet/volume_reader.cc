#include "cabinet/volume_reader.h"

#include <cstring>

namespace qdw::cab {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

VolumeReader::VolumeReader(const FdiCallbacks* io, const MemoryCallbacks* memory)
    : io_(io), buffer_(memory) {}

bool VolumeReader::Init() { return buffer_.Allocate(kBufferSize); }

bool VolumeReader::ReadAt(intptr_t hf, uint64_t offset, void* out, size_t size) {
  if (hf == hf_ && offset >= start_ && offset - start_ <= size_ &&
      size <= size_ - (offset - start_)) {
    std::memcpy(out, buffer_.data() + (offset - start_), size);
    return true;
  }
  Forget();
  if (!io_->SeekTo(hf, offset)) return false;
  if (size > buffer_.size()) return io_->ReadAll(hf, out, size);
  size_ = io_->ReadSome(hf, buffer_.data(), buffer_.size());
  hf_ = hf;
  start_ = offset;
  if (size_ < size) return false;
  std::memcpy(out, buffer_.data(), size);
  return true;
}

}  // namespace qdw::cab
