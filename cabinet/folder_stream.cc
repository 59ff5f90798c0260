#include "cabinet/folder_stream.h"

#include <algorithm>

#include "cabinet/checksum.h"
#include "cabinet/fdi.h"

namespace qdw::cab {

FolderStream::FolderStream(const FdiCallbacks* io, const MemoryCallbacks* memory)
    : io_(io), reader_(io, memory), pool_(memory) {}

bool FolderStream::Init(int workers) { return reader_.Init() && pool_.Init(workers); }

void FolderStream::Start(uint16_t folder, const BlockSource& source, uint16_t type_compress,
                         NextVolumeOpener* opener) {
  ReleaseOutput();
  opener_ = opener;
  position_ = 0;
  out_size_ = out_pos_ = 0;
  for (size_t i = 1; i < segment_count_; ++i) {
    if (segments_[i].plan.folder == folder) {
      DropSegments(i);
      return;
    }
  }
  Stop();
  segments_[0] = Segment{};
  segments_[0].plan.folder = folder;
  segments_[0].plan.type = type_compress;
  segments_[0].plan.source = source;
  segment_count_ = 1;
}

void FolderStream::Stop() {
  reader_.Forget();
  ReleaseOutput();
  pool_.Clear();
  segment_count_ = 0;
}

void FolderStream::DropSegments(size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (!segments_[i].has_job) continue;
    pool_.EndJob(segments_[i].job);
    while (!pool_.Empty() && pool_.HeadJob() == segments_[i].job) {
      pool_.WaitHead();
      pool_.ReleaseHead();
    }
  }
  std::copy(segments_ + count, segments_ + segment_count_, segments_);
  segment_count_ -= count;
}

void FolderStream::ReleaseOutput() {
  if (output_ == nullptr) return;
  pool_.ReleaseHead();
  output_ = nullptr;
}

int FolderStream::Transfer(uint64_t count, intptr_t target) {
  while (count > 0) {
    if (out_pos_ == out_size_) {
      int result = NextBlock();
      if (result != FDIERROR_NONE) return result;
    }
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(count, out_size_ - out_pos_));
    if (target != -1 && !io_->WriteAll(target, output_->out + out_pos_, chunk)) {
      return FDIERROR_TARGET_FILE;
    }
    out_pos_ += chunk;
    position_ += chunk;
    count -= chunk;
  }
  return FDIERROR_NONE;
}

int FolderStream::NextBlock() {
  ReleaseOutput();
  if (segment_count_ == 0) return FDIERROR_CORRUPT_CABINET;
  if (!pool_.Prepare()) return FDIERROR_ALLOC_FAIL;
  for (;;) {
    Feed();
    Segment& segment = segments_[0];
    if (segment.has_job && !pool_.Empty() && pool_.HeadJob() == segment.job) {
      output_ = pool_.WaitHead();
      if (output_->result != FDIERROR_NONE) return output_->result;
      out_size_ = output_->out_size;
      out_pos_ = 0;
      return FDIERROR_NONE;
    }
    if (segment.error != FDIERROR_NONE) return segment.error;
    BlockSource& source = segment.plan.source;
    if (segment.done || !source.continues || opener_ == nullptr) return FDIERROR_CORRUPT_CABINET;
    // Everything of this volume is used up: the folder goes on in the next one, opened only
    // now that its data is needed.
    reader_.Forget();
    int opened = opener_->OpenNext(segment.plan.type, &source);
    if (opened == FDIERROR_NONE && source.blocks_left == 0) opened = FDIERROR_CORRUPT_CABINET;
    if (opened != FDIERROR_NONE) {
      segment.error = opened;
      return opened;
    }
  }
}

void FolderStream::Feed() {
  FeedSegments();
  pool_.Publish();
}

void FolderStream::FeedSegments() {
  for (size_t i = 0; i < segment_count_ && !pool_.Full(); ++i) {
    if (!FeedSegment(&segments_[i])) return;
    if (i + 1 == segment_count_ && segment_count_ < kPlannedFolders && opener_ != nullptr) {
      Segment next;
      if (opener_->NextFolderAfter(segments_[i].plan.folder, &next.plan)) {
        segments_[segment_count_++] = next;
      }
    }
  }
}

bool FolderStream::FeedSegment(Segment* segment) {
  if (segment->done) return true;
  if (segment->error != FDIERROR_NONE) return false;
  BlockSource& source = segment->plan.source;
  while (!pool_.Full()) {
    if (source.blocks_left == 0) {
      if (source.continues) return false;  // the rest lies in the next volume
      if (segment->has_job) pool_.EndJob(segment->job);
      segment->done = true;
      return true;
    }
    if (!segment->has_job) {
      segment->job = pool_.NewJob();
      segment->has_job = true;
    }
    DecodeSlot* slot = pool_.Tail();
    uint16_t cb_uncomp = 0;
    int result = ReadRecord(segment, slot, &cb_uncomp);
    // A block split across volumes arrives as fragments with cbUncomp 0, the last one carrying
    // the real size; only the last record of a folder that goes on may be a fragment.
    if (result == FDIERROR_NONE && cb_uncomp == 0 &&
        (source.blocks_left != 0 || !source.continues)) {
      result = FDIERROR_CORRUPT_CABINET;
    }
    if (result == FDIERROR_NONE && cb_uncomp > kBlockSize) result = FDIERROR_CORRUPT_CABINET;
    if (result != FDIERROR_NONE) {
      segment->error = result;
      return false;
    }
    if (cb_uncomp == 0) return false;  // held in the tail slot until the next volume is open
    slot->in_size = segment->joined;
    slot->out_size = cb_uncomp;
    slot->type = segment->plan.type;
    slot->result = FDIERROR_NONE;
    segment->joined = 0;
    pool_.Queue(segment->job);
  }
  return false;
}

int FolderStream::ReadRecord(Segment* segment, DecodeSlot* slot, uint16_t* cb_uncomp) {
  BlockSource& source = segment->plan.source;
  uint8_t header[kDataHeaderSize + kMaxDataReserve];
  size_t header_size = kDataHeaderSize + source.data_reserve;
  if (!reader_.ReadAt(source.hf, source.offset, header, header_size)) {
    return FDIERROR_CORRUPT_CABINET;
  }
  uint32_t csum = GetU32(header);
  uint16_t cb_data = GetU16(header + 4);
  *cb_uncomp = GetU16(header + 6);
  if (cb_data == 0 || segment->joined + cb_data > kMaxBlockPayload) {
    return FDIERROR_CORRUPT_CABINET;
  }
  uint8_t* payload = slot->in + segment->joined;
  if (!reader_.ReadAt(source.hf, source.offset + header_size, payload, cb_data)) {
    return FDIERROR_CORRUPT_CABINET;
  }
  if (csum != 0 && csum != DataBlockChecksum(payload, cb_data, *cb_uncomp)) {
    return FDIERROR_CORRUPT_CABINET;
  }
  segment->joined += cb_data;
  source.offset += header_size + cb_data;
  --source.blocks_left;
  return FDIERROR_NONE;
}

}  // namespace qdw::cab
