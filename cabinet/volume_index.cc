#include "cabinet/volume_index.h"

#include <algorithm>
#include <cstring>

#include "cabinet/fdi.h"

namespace qdw::cab {
namespace {

constexpr size_t kReadBufferSize = 16 * 1024;

}  // namespace

// Sequential reads through the callbacks with a buffer, never past the file's end.
class VolumeIndex::Reader {
 public:
  Reader(const FdiCallbacks& io, intptr_t hf, uint64_t size, uint8_t* buffer, size_t capacity)
      : io_(io), hf_(hf), size_(size), buffer_(buffer), capacity_(capacity) {}

  uint64_t position() const { return position_; }

  bool SeekTo(uint64_t offset) {
    if (offset > size_) return false;
    if (offset >= buffer_start_ && offset <= buffer_start_ + filled_) {
      position_ = offset;
      return true;
    }
    filled_ = 0;
    buffer_start_ = position_ = offset;
    return io_.SeekTo(hf_, offset);
  }

  bool Read(void* out, size_t size) {
    auto* bytes = static_cast<uint8_t*>(out);
    while (size > 0) {
      if (!Available() && !Fill()) return false;
      size_t offset = static_cast<size_t>(position_ - buffer_start_);
      size_t chunk = std::min(size, filled_ - offset);
      std::memcpy(bytes, buffer_ + offset, chunk);
      bytes += chunk;
      size -= chunk;
      position_ += chunk;
    }
    return true;
  }

  // A terminated string of at most kMaxNameLength characters into out[kMaxNameLength + 1].
  bool ReadString(char* out, size_t* length) {
    for (size_t i = 0; i <= kMaxNameLength; ++i) {
      if (!Read(out + i, 1)) return false;
      if (out[i] == 0) {
        *length = i;
        return true;
      }
    }
    return false;
  }

 private:
  bool Available() const { return position_ < buffer_start_ + filled_; }

  bool Fill() {
    if (position_ >= size_) return false;
    if (position_ != buffer_start_ + filled_ && !io_.SeekTo(hf_, position_)) return false;
    size_t want = static_cast<size_t>(std::min<uint64_t>(capacity_, size_ - position_));
    size_t got = io_.ReadSome(hf_, buffer_, want);
    buffer_start_ = position_;
    filled_ = got;
    return got > 0;
  }

  const FdiCallbacks& io_;
  intptr_t hf_;
  uint64_t size_;
  uint8_t* buffer_;
  size_t capacity_;
  uint64_t buffer_start_ = 0;
  size_t filled_ = 0;
  uint64_t position_ = 0;
};

VolumeIndex::VolumeIndex(const MemoryCallbacks* memory)
    : folders_(CallbackAllocator<Folder>(memory)),
      files_(CallbackAllocator<File>(memory)),
      names_(CallbackAllocator<char>(memory)),
      buffer_(memory) {}

int VolumeIndex::Read(const FdiCallbacks& io, intptr_t hf, Depth depth) {
  if (buffer_.size() == 0 && !buffer_.Allocate(kReadBufferSize)) return FDIERROR_ALLOC_FAIL;
  int64_t size = io.SizeOf(hf);
  if (size < 0) return FDIERROR_CORRUPT_CABINET;
  file_size_ = static_cast<uint64_t>(size);
  Reader reader(io, hf, file_size_, buffer_.data(), buffer_.size());
  int result = ReadHeader(&reader);
  if (result != FDIERROR_NONE || depth == Depth::kHeader) return result;
  result = ReadFolders(&reader);
  if (result != FDIERROR_NONE || depth == Depth::kFolders) return result;
  return ReadFiles(&reader);
}

int VolumeIndex::ReadHeader(Reader* reader) {
  uint8_t fixed[kHeaderFixedSize] = {};
  bool complete = reader->Read(fixed, sizeof(fixed));
  if (file_size_ < 4 || std::memcmp(fixed, kSignature, 4) != 0) return FDIERROR_NOT_A_CABINET;
  if (!complete) return FDIERROR_CORRUPT_CABINET;
  header_ = HeaderFields{};
  DecodeHeaderFixed(fixed, &header_);
  if (header_.versionMajor != kVersionMajor) return FDIERROR_UNKNOWN_CABINET_VERSION;
  if (header_.flags & kFlagReservePresent) {
    uint8_t sizes[kHeaderReserveFieldsSize];
    if (!reader->Read(sizes, sizeof(sizes))) return FDIERROR_CORRUPT_CABINET;
    header_.cbCFHeader = GetU16(sizes);
    header_.cbCFFolder = sizes[2];
    header_.cbCFData = sizes[3];
  }
  return FDIERROR_NONE;
}

int VolumeIndex::ReadFolders(Reader* reader) {
  // A cabinet longer than its file was cut short.
  if (header_.cbCabinet > file_size_ || header_.cbCFHeader > kMaxHeaderReserve ||
      !reader->SeekTo(reader->position() + header_.cbCFHeader)) {
    return FDIERROR_CORRUPT_CABINET;
  }
  size_t length = 0;
  prev_cabinet_[0] = prev_disk_[0] = next_cabinet_[0] = next_disk_[0] = 0;
  if (has_prev() && (!reader->ReadString(prev_cabinet_, &length) || length == 0 ||
                     !reader->ReadString(prev_disk_, &length))) {
    return FDIERROR_CORRUPT_CABINET;
  }
  if (has_next() && (!reader->ReadString(next_cabinet_, &length) || length == 0 ||
                     !reader->ReadString(next_disk_, &length))) {
    return FDIERROR_CORRUPT_CABINET;
  }
  folders_.clear();
  for (uint32_t i = 0; i < header_.cFolders; ++i) {
    uint8_t record[kFolderEntrySize];
    if (!reader->Read(record, sizeof(record)) ||
        !reader->SeekTo(reader->position() + header_.cbCFFolder)) {
      return FDIERROR_CORRUPT_CABINET;
    }
    Folder folder{GetU32(record), GetU16(record + 4), GetU16(record + 6)};
    if (folder.cCFData > 0 && folder.coffCabStart + uint64_t{kDataHeaderSize} > file_size_) {
      return FDIERROR_CORRUPT_CABINET;
    }
    folders_.push_back(folder);
  }
  return FDIERROR_NONE;
}

int VolumeIndex::ReadFiles(Reader* reader) {
  files_.clear();
  names_.clear();
  first_folder_continued_ = false;
  if (header_.coffFiles < reader->position() || !reader->SeekTo(header_.coffFiles)) {
    return FDIERROR_CORRUPT_CABINET;
  }
  const uint32_t folder_count = header_.cFolders;
  for (uint32_t i = 0; i < header_.cFiles; ++i) {
    uint8_t record[kFileEntryFixedSize];
    char name[kMaxNameLength + 1];
    size_t length = 0;
    if (!reader->Read(record, sizeof(record)) || !reader->ReadString(name, &length) ||
        length == 0) {
      return FDIERROR_CORRUPT_CABINET;
    }
    File file{};
    DecodeFileFields(record, &file.fields);
    uint16_t folder = file.fields.iFolder;
    bool from_prev = folder == kFolderContinuedFromPrev || folder == kFolderContinuedPrevAndNext;
    bool to_next = folder == kFolderContinuedToNext || folder == kFolderContinuedPrevAndNext;
    bool known = from_prev || to_next ? folder_count > 0 : folder < folder_count;
    if (!known || (from_prev && !has_prev()) || (to_next && !has_next()) ||
        uint64_t{file.fields.uoffFolderStart} + file.fields.cbFile > kMaxFolderBytes) {
      return FDIERROR_CORRUPT_CABINET;
    }
    first_folder_continued_ = first_folder_continued_ || from_prev;
    file.name_offset = static_cast<uint32_t>(names_.size());
    names_.insert(names_.end(), name, name + length + 1);
    files_.push_back(file);
  }
  return FDIERROR_NONE;
}

}  // namespace qdw::cab
