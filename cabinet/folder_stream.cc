#include "cabinet/folder_stream.h"

#include <algorithm>
#include <cstring>

#include "cabinet/checksum.h"
#include "cabinet/fdi.h"

namespace qdw::cab {

FolderStream::FolderStream(const FdiCallbacks* io, const MemoryCallbacks* memory)
    : io_(io),
      input_(CallbackAllocator<uint8_t>(memory)),
      output_(CallbackAllocator<uint8_t>(memory)) {}

bool FolderStream::Init() {
  input_.resize(kMaxBlockPayload);
  output_.resize(kBlockSize);
  return decoder_.Init(input_.get_allocator().memory());
}

void FolderStream::Start(BlockSource* source, uint16_t type_compress, NextVolumeOpener* opener) {
  source_ = source;
  opener_ = opener;
  type_ = type_compress;
  position_ = 0;
  out_size_ = out_pos_ = 0;
  decoder_.StartFolder();
}

int FolderStream::Transfer(uint64_t count, intptr_t target) {
  while (count > 0) {
    if (out_pos_ == out_size_) {
      int result = NextBlock();
      if (result != FDIERROR_NONE) return result;
    }
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(count, out_size_ - out_pos_));
    if (target != -1 && !io_->WriteAll(target, output_.data() + out_pos_, chunk)) {
      return FDIERROR_TARGET_FILE;
    }
    out_pos_ += chunk;
    position_ += chunk;
    count -= chunk;
  }
  return FDIERROR_NONE;
}

int FolderStream::NextBlock() {
  uint32_t joined = 0;
  uint16_t cb_uncomp = 0;
  // A block split across volumes arrives as fragments with cbUncomp 0, the last one carrying
  // the real size.
  do {
    if (source_->blocks_left == 0) {
      if (!source_->continues || opener_ == nullptr) return FDIERROR_CORRUPT_CABINET;
      int opened = opener_->OpenNext(type_, source_);
      if (opened != FDIERROR_NONE) return opened;
      if (source_->blocks_left == 0) return FDIERROR_CORRUPT_CABINET;
    }
    int result = ReadRecord(&joined, &cb_uncomp);
    if (result != FDIERROR_NONE) return result;
    // Only the last record of a folder that goes on may be a fragment.
    if (cb_uncomp == 0 && (source_->blocks_left != 0 || !source_->continues)) {
      return FDIERROR_CORRUPT_CABINET;
    }
  } while (cb_uncomp == 0);
  if (cb_uncomp > kBlockSize) return FDIERROR_CORRUPT_CABINET;
  if (type_ == kCompressNone) {
    if (joined != cb_uncomp) return FDIERROR_MDI_FAIL;
    std::memcpy(output_.data(), input_.data(), joined);
  } else if (!decoder_.Decode(input_.data(), joined, output_.data(), cb_uncomp)) {
    return FDIERROR_MDI_FAIL;
  }
  out_size_ = cb_uncomp;
  out_pos_ = 0;
  return FDIERROR_NONE;
}

int FolderStream::ReadRecord(uint32_t* joined, uint16_t* cb_uncomp) {
  uint8_t header[kDataHeaderSize + kMaxDataReserve];
  size_t header_size = kDataHeaderSize + source_->data_reserve;
  if (!io_->SeekTo(source_->hf, source_->offset) ||
      !io_->ReadAll(source_->hf, header, header_size)) {
    return FDIERROR_CORRUPT_CABINET;
  }
  uint32_t csum = GetU32(header);
  uint16_t cb_data = GetU16(header + 4);
  *cb_uncomp = GetU16(header + 6);
  if (cb_data == 0 || *joined + cb_data > kMaxBlockPayload) return FDIERROR_CORRUPT_CABINET;
  uint8_t* payload = input_.data() + *joined;
  if (!io_->ReadAll(source_->hf, payload, cb_data)) return FDIERROR_CORRUPT_CABINET;
  if (csum != 0 && csum != DataBlockChecksum(payload, cb_data, *cb_uncomp)) {
    return FDIERROR_CORRUPT_CABINET;
  }
  *joined += cb_data;
  source_->offset += header_size + cb_data;
  --source_->blocks_left;
  return FDIERROR_NONE;
}

}  // namespace qdw::cab
