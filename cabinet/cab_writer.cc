#include "cabinet/cab_writer.h"

#include <algorithm>
#include <cstring>

#include "cabinet/volume_limit.h"

namespace qdw::cab {
namespace {

// A fresh volume that cannot take at least this much of a block beside its mandatory entries
// takes the whole block instead (only when the limit is absurdly small for the entries).
constexpr int64_t kMinFragment = 256;

// Length of `text`, or `limit` + 1 when it is longer than `limit`.
size_t BoundedLength(const char* text, size_t limit) {
  size_t length = 0;
  while (length <= limit && text[length] != 0) ++length;
  return length;
}

bool Terminated(const char* text, size_t capacity) {
  return std::memchr(text, 0, capacity) != nullptr;
}

bool UsableNames(const CCAB& ccab) {
  return Terminated(ccab.szCab, sizeof(ccab.szCab)) && ccab.szCab[0] != 0 &&
         Terminated(ccab.szCabPath, sizeof(ccab.szCabPath)) &&
         Terminated(ccab.szDisk, sizeof(ccab.szDisk));
}

}  // namespace

CabinetWriter::CabinetWriter(const FciCallbacks& io, const MemoryCallbacks& memory, PERF erf,
                             const CCAB& ccab)
    : io_(io),
      memory_(memory),
      erf_(erf),
      first_ccab_(ccab),
      volume_(&io_, &memory_,
              ReserveSizes{static_cast<uint16_t>(ccab.cbReserveCFHeader),
                           static_cast<uint8_t>(ccab.cbReserveCFFolder),
                           static_cast<uint8_t>(ccab.cbReserveCFData)},
              ccab.setID),
      pending_(CallbackAllocator<PendingEntry>(&memory_)) {}

CabinetWriter::~CabinetWriter() { DeleteBlockCompressor(&memory_, compressor_); }

bool CabinetWriter::Fail(int code, int err) {
  failed_ = true;
  if (erf_ != nullptr) {
    erf_->erfOper = code;
    erf_->erfType = err;
    erf_->fError = 1;
  }
  return false;
}

bool CabinetWriter::Init() {
  const CCAB& ccab = first_ccab_;
  if (ccab.cbReserveCFHeader > kMaxHeaderReserve || ccab.cbReserveCFFolder > kMaxFolderReserve ||
      ccab.cbReserveCFData > kMaxDataReserve) {
    return Fail(FCIERR_CAB_FORMAT_LIMIT);
  }
  if (!UsableNames(ccab)) return Fail(FCIERR_CAB_FILE);
  limit_ = VolumeLimit(ccab.cb);
  threshold_ = ccab.cbFolderThresh == 0 ? kMaxFolderBytes
                                        : std::min<uint64_t>(ccab.cbFolderThresh, kMaxFolderBytes);
  compressor_ = NewBlockCompressor(&memory_, CompressionThreads(), kMszipLevel);
  if (compressor_ == nullptr) return Fail(FCIERR_ALLOC_FAIL);
  int err = 0;
  int code = volume_.Init(&err);
  if (code != FCIERR_NONE) return Fail(code, err);
  volume_.Begin(ccab, 0, nullptr);
  return true;
}

bool CabinetWriter::AddFile(const char* source, const char* name, bool execute,
                            PFNFCIGETNEXTCABINET next, PFNFCISTATUS status,
                            PFNFCIGETOPENINFO open_info, TCOMP type_compress) {
  if (failed_) return false;
  next_ = next;
  status_ = status;
  if (source == nullptr || source[0] == 0 || open_info == nullptr) {
    return Fail(FCIERR_OPEN_SRC);
  }
  size_t name_length = name == nullptr ? 0 : BoundedLength(name, kMaxNameLength);
  if (name_length == 0 || name_length > kMaxNameLength) return Fail(FCIERR_CAB_FORMAT_LIMIT);
  if (type_compress != kCompressNone && type_compress != kCompressMszip) {
    return Fail(FCIERR_BAD_COMPR_TYPE);
  }
  if (set_closed_) {
    // A new set after a final flush: its first volume is named like a next one.
    CCAB ccab = volume_.ccab();
    if (!NameNextVolume(&ccab)) return false;
    volume_.Begin(ccab, 0, nullptr);
    set_closed_ = false;
  }

  PendingEntry entry;
  entry.name_length = static_cast<uint16_t>(name_length);
  std::memcpy(entry.name, name, name_length);
  int err = 0;
  intptr_t hf = open_info(const_cast<char*>(source), &entry.fields.date, &entry.fields.time,
                          &entry.fields.attribs, &err, io_.pv);
  if (hf == -1) return Fail(FCIERR_OPEN_SRC, err);
  if (execute) entry.fields.attribs |= CAB_A_EXEC;
  long end = io_.seek(hf, 0, CAB_SEEK_END, &err, io_.pv);
  if (end < 0 || !io_.SeekTo(hf, 0, &err)) {
    io_.CloseQuietly(hf);
    return Fail(FCIERR_READ_SRC, err);
  }
  if (static_cast<uint64_t>(end) > kMaxFolderBytes) {
    io_.CloseQuietly(hf);
    return Fail(FCIERR_CAB_FORMAT_LIMIT);
  }
  entry.fields.cbFile = static_cast<uint32_t>(end);
  bool added = PlaceEntry(&entry, type_compress) && Feed(hf, entry.fields.cbFile);
  io_.CloseQuietly(hf);
  if (!added) return false;
  return folder_bytes_ < threshold_ || CloseFolder();
}

bool CabinetWriter::FlushFolder(PFNFCIGETNEXTCABINET next, PFNFCISTATUS status) {
  if (failed_) return false;
  next_ = next;
  status_ = status;
  return CloseFolder();
}

bool CabinetWriter::FlushCabinet(bool get_next, PFNFCIGETNEXTCABINET next, PFNFCISTATUS status) {
  if (failed_) return false;
  next_ = next;
  status_ = status;
  if (!CloseFolder()) return false;
  // Readers refuse a cabinet without files, so an empty one is never written.
  if (set_closed_ || volume_.file_count() == 0) return Fail(FCIERR_CAB_FORMAT_LIMIT);
  if (!FinishVolume(get_next)) return false;
  set_closed_ = !get_next;
  return true;
}

size_t CabinetWriter::WorstBlockRecord() const {
  return volume_.BlockHeaderSize() + kMaxBlockPayload;
}

bool CabinetWriter::EntryFits(size_t entry_size, bool new_folder) const {
  if (volume_.file_count() >= kMaxCount) return false;
  if (new_folder && volume_.folder_count() >= kMaxCount) return false;
  uint64_t needed =
      entry_size + (new_folder ? volume_.FolderEntrySize() : 0) + volume_.BlockHeaderSize() + 1;
  return volume_.Size() + in_flight_worst_ + needed <= limit_;
}

bool CabinetWriter::CommitIfUndecided(size_t needed) {
  // Blocks still being compressed might end the volume; when their worst case leaves room, they
  // cannot, and the decision is the same as with everything committed.
  if (volume_.Size() + in_flight_worst_ + needed <= limit_) return true;
  return CommitFinished(true);
}

bool CabinetWriter::PlaceEntry(PendingEntry* entry, uint16_t type_compress) {
  size_t entry_size = VolumeBuilder::EntrySize(entry->name_length);
  if (!CommitIfUndecided(entry_size + volume_.FolderEntrySize() + volume_.BlockHeaderSize() + 1)) {
    return false;
  }
  if (folder_open_ && (close_after_file_ || folder_type_ != type_compress ||
                       folder_bytes_ + entry->fields.cbFile > kMaxFolderBytes)) {
    if (!CloseFolder()) return false;
  }
  while (!EntryFits(entry_size, !folder_open_) && volume_.file_count() > 0) {
    if (folder_open_) {
      if (!CloseFolder()) return false;
    } else if (!FinishVolume(true)) {
      return false;
    }
  }
  if (!folder_open_) OpenFolder(type_compress);
  entry->fields.uoffFolderStart = static_cast<uint32_t>(folder_bytes_);
  entry->end = folder_bytes_ + entry->fields.cbFile;
  pending_.push_back(*entry);
  volume_.CountEntry(entry->name_length);
  if (io_.file_placed(&volume_.ccab(), entry->name, static_cast<long>(entry->fields.cbFile), 0,
                      io_.pv) == -1) {
    return Fail(FCIERR_USER_ABORT);
  }
  // An entry whose data is already committed (an empty file on a block boundary) settles now,
  // so whether it counts as touching a later split block never depends on timing.
  return SettleEntries();
}

bool CabinetWriter::Feed(intptr_t source, uint64_t size) {
  while (size > 0) {
    if (block_fill_ == 0 && !WaitForFreeSlot()) return false;
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(size, kBlockSize - block_fill_));
    int err = 0;
    if (!io_.ReadAll(source, compressor_->Input() + block_fill_, chunk, &err)) {
      return Fail(FCIERR_READ_SRC, err);
    }
    block_fill_ += chunk;
    folder_bytes_ += chunk;
    size -= chunk;
    if (block_fill_ == kBlockSize && !SubmitBlock()) return false;
  }
  return true;
}

void CabinetWriter::OpenFolder(uint16_t type_compress) {
  volume_.AddFolder(type_compress);
  folder_open_ = true;
  folder_type_ = type_compress;
  folder_bytes_ = 0;
  committed_end_ = 0;
  block_fill_ = 0;
  folder_first_block_ = true;
  folder_continued_ = false;
  close_after_file_ = false;
  pending_.clear();
  pending_head_ = 0;
}

bool CabinetWriter::CloseFolder() {
  if (!folder_open_) return true;
  if (block_fill_ > 0 && !SubmitBlock()) return false;
  if (!CommitFinished(true) || !SettleEntries()) return false;
  folder_open_ = false;
  if (status_ != nullptr && status_(statusFolder, static_cast<unsigned long>(folder_bytes_),
                                    static_cast<unsigned long>(folder_bytes_), io_.pv) == -1) {
    return Fail(FCIERR_USER_ABORT);
  }
  return true;
}

bool CabinetWriter::WaitForFreeSlot() {
  while (!compressor_->HasFreeSlot()) {
    const BlockResult* result = compressor_->Front(true);
    if (result == nullptr) return Fail(FCIERR_MCI_FAIL);
    if (!Commit(*result)) return false;
    compressor_->PopFront();
  }
  return true;
}

bool CabinetWriter::SubmitBlock() {
  compressor_->Submit(block_fill_, folder_type_, folder_first_block_);
  folder_first_block_ = false;
  in_flight_worst_ += WorstBlockRecord();
  block_fill_ = 0;
  return CommitFinished(false);
}

bool CabinetWriter::CommitFinished(bool wait) {
  while (const BlockResult* result = compressor_->Front(wait)) {
    if (!Commit(*result)) return false;
    compressor_->PopFront();
  }
  return true;
}

bool CabinetWriter::Commit(const BlockResult& result) {
  in_flight_worst_ -= WorstBlockRecord();
  if (!result.ok) return Fail(FCIERR_MCI_FAIL);
  if (first_ccab_.fFailOnIncompressible && result.payload_size > result.uncompressed_size) {
    return Fail(FCIERR_MCI_FAIL);
  }
  if (!PlaceBlock(result.payload, result.payload_size, result.uncompressed_size)) return false;
  committed_end_ += result.uncompressed_size;
  if (!SettleEntries()) return false;
  if (status_ != nullptr && status_(statusFile, static_cast<unsigned long>(result.payload_size),
                                    result.uncompressed_size, io_.pv) == -1) {
    return Fail(FCIERR_USER_ABORT);
  }
  return true;
}

bool CabinetWriter::PlaceBlock(const uint8_t* payload, size_t size, uint32_t uncompressed_size) {
  const int64_t header = static_cast<int64_t>(volume_.BlockHeaderSize());
  const int64_t limit = static_cast<int64_t>(limit_);
  size_t offset = 0;
  int err = 0;
  for (;;) {
    if (volume_.CurrentFolderBlocks() >= kMaxCount) return Fail(FCIERR_CAB_FORMAT_LIMIT);
    const int64_t rest = static_cast<int64_t>(size - offset);
    const int64_t used = static_cast<int64_t>(volume_.Size());
    // Whole when the block fits with room left for a fragment of the next one.
    if (used + header + rest + header + 1 <= limit || rest < 2) break;
    int64_t room = limit - used - header;
    int64_t fragment;
    if (volume_.has_data()) {
      fragment = std::clamp<int64_t>(room, 1, rest - 1);
    } else if (room >= kMinFragment) {
      fragment = std::min(room, rest - 1);
    } else {
      break;
    }
    if (!volume_.StageBlock(payload + offset, static_cast<uint16_t>(fragment), 0, &err)) {
      return Fail(FCIERR_TEMP_FILE, err);
    }
    offset += static_cast<size_t>(fragment);
    if (!SplitVolume()) return false;
  }
  if (!volume_.StageBlock(payload + offset, static_cast<uint16_t>(size - offset),
                          static_cast<uint16_t>(uncompressed_size), &err)) {
    return Fail(FCIERR_TEMP_FILE, err);
  }
  return true;
}

bool CabinetWriter::SplitVolume() {
  // Every entry still pending touches the split block: it is listed here as going on, and
  // again in the next volume, where the folder takes no further files.
  uint16_t code = folder_continued_ ? kFolderContinuedPrevAndNext : kFolderContinuedToNext;
  for (size_t i = pending_head_; i < pending_.size(); ++i) {
    if (!StageEntry(pending_[i], code)) return false;
  }
  close_after_file_ = true;
  if (!FinishVolume(true)) return false;
  volume_.AddFolder(folder_type_);
  folder_continued_ = true;
  for (size_t i = pending_head_; i < pending_.size(); ++i) {
    const PendingEntry& entry = pending_[i];
    volume_.CountEntry(entry.name_length);
    if (io_.file_placed(&volume_.ccab(), const_cast<char*>(entry.name),
                        static_cast<long>(entry.fields.cbFile), 1, io_.pv) == -1) {
      return Fail(FCIERR_USER_ABORT);
    }
  }
  return true;
}

bool CabinetWriter::NameNextVolume(CCAB* ccab) {
  if (next_ == nullptr) return Fail(FCIERR_CAB_FILE);
  ++ccab->iCab;
  ccab->szCab[0] = 0;
  if (!next_(ccab, static_cast<unsigned long>(volume_.Size()), io_.pv)) {
    return Fail(FCIERR_USER_ABORT);
  }
  return UsableNames(*ccab) || Fail(FCIERR_CAB_FILE);
}

bool CabinetWriter::FinishVolume(bool with_next) {
  CCAB next_ccab = volume_.ccab();
  VolumeLink next_link;
  if (with_next) {
    if (volume_.index() == kMaxCount) return Fail(FCIERR_CAB_FORMAT_LIMIT);
    if (!NameNextVolume(&next_ccab)) return false;
    next_link = VolumeBuilder::LinkOf(next_ccab, static_cast<uint16_t>(volume_.index() + 1));
  }
  int err = 0;
  int code = volume_.WriteOut(with_next ? &next_link : nullptr, status_, &err);
  if (code != FCIERR_NONE) return Fail(code, err);
  if (with_next) {
    VolumeLink own = volume_.OwnLink();
    volume_.Begin(next_ccab, static_cast<uint16_t>(volume_.index() + 1), &own);
  }
  return true;
}

bool CabinetWriter::SettleEntries() {
  while (pending_head_ < pending_.size() && pending_[pending_head_].end <= committed_end_) {
    uint16_t code = folder_continued_ ? kFolderContinuedFromPrev
                                      : static_cast<uint16_t>(volume_.folder_count() - 1);
    if (!StageEntry(pending_[pending_head_], code)) return false;
    ++pending_head_;
  }
  if (pending_head_ == pending_.size()) {
    pending_.clear();
    pending_head_ = 0;
  } else if (pending_head_ >= 256 && pending_head_ * 2 >= pending_.size()) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(pending_head_));
    pending_head_ = 0;
  }
  return true;
}

bool CabinetWriter::StageEntry(const PendingEntry& entry, uint16_t folder_code) {
  FileFields fields = entry.fields;
  fields.iFolder = folder_code;
  int err = 0;
  if (!volume_.StageEntry(fields, entry.name, entry.name_length, &err)) {
    return Fail(FCIERR_TEMP_FILE, err);
  }
  return true;
}

}  // namespace qdw::cab
