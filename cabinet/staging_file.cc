#include "cabinet/staging_file.h"

#include <algorithm>
#include <cstring>

namespace qdw::cab {
namespace {

constexpr size_t kBufferSize = 256 * 1024;
// A temporary name can be taken by another process between naming and creating it.
constexpr int kCreateAttempts = 4;

}  // namespace

StagingFile::StagingFile(const FciCallbacks* io, const MemoryCallbacks* memory)
    : io_(io), buffer_(CallbackAllocator<uint8_t>(memory)) {}

StagingFile::~StagingFile() { Remove(); }

int StagingFile::Create(int* err) {
  try {
    buffer_.resize(kBufferSize);
  } catch (const std::bad_alloc&) {
    return FCIERR_ALLOC_FAIL;
  }
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::memset(name_, 0, sizeof(name_));
    if (!io_->temp_name(name_, sizeof(name_), io_->pv)) return FCIERR_TEMP_FILE;
    if (std::memchr(name_, 0, sizeof(name_)) == nullptr || name_[0] == 0) {
      return FCIERR_TEMP_FILE;
    }
    handle_ = io_->open(name_, CAB_O_RDWR | CAB_O_CREAT | CAB_O_EXCL | CAB_O_BINARY,
                        CAB_S_IREAD | CAB_S_IWRITE, err, io_->pv);
    if (handle_ != -1) return FCIERR_NONE;
  }
  return FCIERR_TEMP_FILE;
}

bool StagingFile::Append(const void* data, size_t size, int* err) {
  if (handle_ == -1) return false;
  bool direct = size >= buffer_.size() / 2;
  if (direct || buffered_ + size > buffer_.size()) {
    if (!Flush(err)) return false;
  }
  if (direct) {
    if (!io_->WriteAll(handle_, data, size, err)) return false;
  } else {
    std::memcpy(buffer_.data() + buffered_, data, size);
    buffered_ += size;
  }
  size_ += size;
  return true;
}

bool StagingFile::Flush(int* err) {
  if (buffered_ == 0) return true;
  if (!io_->WriteAll(handle_, buffer_.data(), buffered_, err)) return false;
  buffered_ = 0;
  return true;
}

StagingFile::CopyResult StagingFile::CopyTo(intptr_t destination, int* err) {
  if (handle_ == -1 || !Flush(err) || !io_->SeekTo(handle_, 0, err)) {
    return CopyResult::kStagingFailed;
  }
  uint64_t left = size_;
  while (left > 0) {
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, buffer_.size()));
    if (!io_->ReadAll(handle_, buffer_.data(), chunk, err)) return CopyResult::kStagingFailed;
    if (!io_->WriteAll(destination, buffer_.data(), chunk, err)) {
      return CopyResult::kDestinationFailed;
    }
    left -= chunk;
  }
  return CopyResult::kOk;
}

bool StagingFile::Restart(int* err) {
  buffered_ = 0;
  size_ = 0;
  return handle_ != -1 && io_->SeekTo(handle_, 0, err);
}

void StagingFile::Remove() {
  if (handle_ == -1) return;
  io_->CloseQuietly(handle_);
  handle_ = -1;
  int ignored = 0;
  io_->remove(name_, &ignored, io_->pv);
}

}  // namespace qdw::cab
