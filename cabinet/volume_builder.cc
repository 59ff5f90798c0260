#include "cabinet/volume_builder.h"

#include <cstdio>
#include <cstring>

#include "cabinet/checksum.h"

namespace qdw::cab {
namespace {

// Room kept for the next link until the volume is written: two names of at most 255 bytes.
constexpr size_t kNextLinkRoom = 2 * (kMaxNameLength + 1);

size_t LinkSize(const VolumeLink& link) {
  return std::strlen(link.cabinet) + 1 + std::strlen(link.disk) + 1;
}

size_t AppendLink(const VolumeLink& link, uint8_t* out) {
  size_t cabinet = std::strlen(link.cabinet) + 1;
  size_t disk = std::strlen(link.disk) + 1;
  std::memcpy(out, link.cabinet, cabinet);
  std::memcpy(out + cabinet, link.disk, disk);
  return cabinet + disk;
}

}  // namespace

VolumeBuilder::VolumeBuilder(const FciCallbacks* io, const MemoryCallbacks* memory,
                             ReserveSizes reserve, uint16_t set_id)
    : io_(io),
      reserve_(reserve),
      set_id_(set_id),
      folders_(CallbackAllocator<FolderRecord>(memory)),
      scratch_(CallbackAllocator<uint8_t>(memory)),
      entries_(io, memory),
      data_(io, memory) {}

int VolumeBuilder::Init(int* err) {
  try {
    scratch_.resize(kHeaderFixedSize + kHeaderReserveFieldsSize + kMaxHeaderReserve +
                    4 * (kMaxNameLength + 1));
  } catch (const std::bad_alloc&) {
    return FCIERR_ALLOC_FAIL;
  }
  int result = entries_.Create(err);
  return result != FCIERR_NONE ? result : data_.Create(err);
}

void VolumeBuilder::Begin(const CCAB& ccab, uint16_t index, const VolumeLink* prev) {
  ccab_ = ccab;
  index_ = index;
  has_prev_ = prev != nullptr;
  if (has_prev_) prev_ = *prev;
  folders_.clear();
  file_count_ = 0;
  entry_bytes_ = 0;
  int ignored = 0;
  entries_.Restart(&ignored);
  data_.Restart(&ignored);
}

VolumeLink VolumeBuilder::LinkOf(const CCAB& ccab, uint16_t index) {
  VolumeLink link;
  std::memcpy(link.cabinet, ccab.szCab, sizeof(link.cabinet));
  link.cabinet[sizeof(link.cabinet) - 1] = 0;
  if (ccab.szDisk[0] != 0) {
    std::memcpy(link.disk, ccab.szDisk, sizeof(link.disk));
    link.disk[sizeof(link.disk) - 1] = 0;
  } else {
    std::snprintf(link.disk, sizeof(link.disk), "DISK%u", static_cast<unsigned>(index) + 1);
  }
  return link;
}

size_t VolumeBuilder::HeaderSize(const VolumeLink* next) const {
  size_t size = kHeaderFixedSize;
  if (reserve_.header || reserve_.folder || reserve_.data) {
    size += kHeaderReserveFieldsSize + reserve_.header;
  }
  if (has_prev_) size += LinkSize(prev_);
  if (next != nullptr) size += LinkSize(*next);
  return size;
}

uint64_t VolumeBuilder::Size() const {
  return HeaderSize(nullptr) + kNextLinkRoom + folders_.size() * FolderEntrySize() + entry_bytes_ +
         data_.size();
}

void VolumeBuilder::AddFolder(uint16_t type_compress) {
  folders_.push_back(FolderRecord{data_.size(), 0, type_compress});
}

void VolumeBuilder::CountEntry(size_t name_length) {
  ++file_count_;
  entry_bytes_ += EntrySize(name_length);
}

bool VolumeBuilder::StageEntry(const FileFields& fields, const char* name, size_t name_length,
                               int* err) {
  uint8_t record[kFileEntryFixedSize + kMaxNameLength + 1];
  size_t size = EncodeFileEntry(fields, name, name_length, record);
  return entries_.Append(record, size, err);
}

bool VolumeBuilder::StageBlock(const uint8_t* payload, uint16_t cb_data, uint16_t cb_uncomp,
                               int* err) {
  uint8_t header[kDataHeaderSize + kMaxDataReserve] = {};
  EncodeDataHeader(DataBlockChecksum(payload, cb_data, cb_uncomp), cb_data, cb_uncomp, header);
  if (!data_.Append(header, BlockHeaderSize(), err) || !data_.Append(payload, cb_data, err)) {
    return false;
  }
  ++folders_.back().blocks;
  return true;
}

int VolumeBuilder::WriteOut(const VolumeLink* next, PFNFCISTATUS status, int* err) {
  uint64_t total =
      HeaderSize(next) + folders_.size() * FolderEntrySize() + entry_bytes_ + data_.size();
  if (total > 0xFFFFFFFFu || entries_.size() != entry_bytes_) return FCIERR_CAB_FORMAT_LIMIT;
  if (status != nullptr && status(statusCabinet, static_cast<unsigned long>(Size()),
                                  static_cast<unsigned long>(total), io_->pv) == -1) {
    return FCIERR_USER_ABORT;
  }
  char path[CB_MAX_CAB_PATH + CB_MAX_CABINET_NAME];
  std::snprintf(path, sizeof(path), "%s%s", ccab_.szCabPath, ccab_.szCab);
  intptr_t hf = io_->open(path, CAB_O_RDWR | CAB_O_CREAT | CAB_O_TRUNC | CAB_O_BINARY,
                          CAB_S_IREAD | CAB_S_IWRITE, err, io_->pv);
  if (hf == -1) return FCIERR_CAB_FILE;
  int result = WriteContent(hf, next, total, err);
  if (io_->close(hf, err, io_->pv) != 0 && result == FCIERR_NONE) result = FCIERR_CAB_FILE;
  if (result != FCIERR_NONE) {
    int ignored = 0;
    io_->remove(path, &ignored, io_->pv);
  }
  return result;
}

int VolumeBuilder::WriteContent(intptr_t hf, const VolumeLink* next, uint64_t total, int* err) {
  HeaderFields fields;
  fields.cbCabinet = static_cast<uint32_t>(total);
  size_t header_size = HeaderSize(next);
  fields.coffFiles = static_cast<uint32_t>(header_size + folders_.size() * FolderEntrySize());
  fields.cFolders = static_cast<uint16_t>(folders_.size());
  fields.cFiles = static_cast<uint16_t>(file_count_);
  fields.flags = (has_prev_ ? kFlagPrevCabinet : 0) | (next ? kFlagNextCabinet : 0);
  if (reserve_.header || reserve_.folder || reserve_.data) fields.flags |= kFlagReservePresent;
  fields.setID = set_id_;
  fields.iCabinet = index_;
  fields.cbCFHeader = reserve_.header;
  fields.cbCFFolder = reserve_.folder;
  fields.cbCFData = reserve_.data;
  uint8_t* out = scratch_.data();
  size_t used = EncodeHeaderFields(fields, out);
  if (fields.flags & kFlagReservePresent) {
    std::memset(out + used, 0, reserve_.header);
    used += reserve_.header;
  }
  if (has_prev_) used += AppendLink(prev_, out + used);
  if (next != nullptr) used += AppendLink(*next, out + used);
  if (!io_->WriteAll(hf, out, used, err)) return FCIERR_CAB_FILE;

  uint64_t data_start = fields.coffFiles + entry_bytes_;
  for (const FolderRecord& folder : folders_) {
    uint8_t record[kFolderEntrySize + kMaxFolderReserve] = {};
    EncodeFolderEntry(static_cast<uint32_t>(data_start + folder.data_offset),
                      static_cast<uint16_t>(folder.blocks), folder.type_compress, record);
    if (!io_->WriteAll(hf, record, FolderEntrySize(), err)) return FCIERR_CAB_FILE;
  }
  for (StagingFile* part : {&entries_, &data_}) {
    StagingFile::CopyResult copied = part->CopyTo(hf, err);
    if (copied == StagingFile::CopyResult::kStagingFailed) return FCIERR_TEMP_FILE;
    if (copied == StagingFile::CopyResult::kDestinationFailed) return FCIERR_CAB_FILE;
  }
  return FCIERR_NONE;
}

}  // namespace qdw::cab
