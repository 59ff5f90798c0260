#include "cabinet/cab_extraction.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qdw::cab {
namespace {

bool IsPartial(uint16_t folder) {
  return folder == kFolderContinuedFromPrev || folder == kFolderContinuedPrevAndNext;
}

bool CopyBounded(char* out, size_t capacity, const char* text) {
  size_t length = std::strlen(text);
  if (length >= capacity) return false;
  std::memcpy(out, text, length + 1);
  return true;
}

}  // namespace

CabExtraction::CabExtraction(FdiEngine* engine, PFNFDINOTIFY notify, void* user)
    : engine_(engine),
      notify_(notify),
      user_(user),
      volume_(&engine->memory),
      data_volume_(&engine->memory),
      used_folders_(CallbackAllocator<uint16_t>(&engine->memory)) {}

CabExtraction::~CabExtraction() {
  engine_->stream.Stop();
  if (data_hf_ != -1 && data_hf_ != volume_hf_) engine_->io.close(data_hf_);
  if (volume_hf_ != -1) engine_->io.close(volume_hf_);
}

int CabExtraction::Notify(FDINOTIFICATIONTYPE type, FDINOTIFICATION* notification,
                          intptr_t* answer) {
  notification->pv = user_;
  intptr_t result = notify_(type, notification);
  if (answer != nullptr) *answer = result;
  return result == -1 ? FDIERROR_USER_ABORT : FDIERROR_NONE;
}

int CabExtraction::AnnounceVolume(const VolumeIndex& volume) {
  FDINOTIFICATION notification{};
  notification.psz1 = const_cast<char*>(volume.next_cabinet());
  notification.psz2 = const_cast<char*>(volume.next_disk());
  notification.psz3 = path_;
  notification.setID = volume.header().setID;
  notification.iCabinet = volume.header().iCabinet;
  return Notify(fdintCABINET_INFO, &notification, nullptr);
}

int CabExtraction::Run(const char* cabinet, const char* path) {
  char full[CB_MAX_CAB_PATH + CB_MAX_CABINET_NAME];
  if (cabinet == nullptr || !CopyBounded(path_, sizeof(path_), path == nullptr ? "" : path) ||
      std::strlen(cabinet) >= CB_MAX_CABINET_NAME) {
    return FDIERROR_CABINET_NOT_FOUND;
  }
  std::snprintf(full, sizeof(full), "%s%s", path_, cabinet);
  volume_hf_ = engine_->io.OpenForReading(full);
  if (volume_hf_ == -1) return FDIERROR_CABINET_NOT_FOUND;
  data_hf_ = volume_hf_;
  int result = volume_.Read(engine_->io, volume_hf_, VolumeIndex::Depth::kFiles);
  if (result != FDIERROR_NONE) return result;
  data_set_id_ = volume_.header().setID;
  data_index_ = volume_.header().iCabinet;
  ListUsedFolders();
  result = AnnounceVolume(volume_);
  for (size_t i = 0; result == FDIERROR_NONE && i < volume_.files().size(); ++i) {
    result = ExtractEntry(volume_.files()[i]);
  }
  if (result != FDIERROR_NONE) return result;
  FDINOTIFICATION done{};
  done.setID = volume_.header().setID;
  done.iCabinet = volume_.header().iCabinet;
  return Notify(fdintENUMERATE, &done, nullptr);
}

int CabExtraction::ExtractEntry(const VolumeIndex::File& file) {
  const FileFields& fields = file.fields;
  FDINOTIFICATION notification{};
  notification.psz1 = const_cast<char*>(volume_.NameOf(file));
  notification.date = fields.date;
  notification.time = fields.time;
  notification.attribs = fields.attribs;
  notification.iFolder = fields.iFolder;
  notification.setID = volume_.header().setID;
  notification.iCabinet = volume_.header().iCabinet;
  if (IsPartial(fields.iFolder)) {
    notification.psz2 = const_cast<char*>(volume_.prev_cabinet());
    notification.psz3 = const_cast<char*>(volume_.prev_disk());
    return Notify(fdintPARTIAL_FILE, &notification, nullptr);
  }
  notification.cb = static_cast<long>(fields.cbFile);
  intptr_t target = 0;
  int result = Notify(fdintCOPY_FILE, &notification, &target);
  if (result != FDIERROR_NONE || target == 0) return result;

  uint16_t folder = fields.iFolder == kFolderContinuedToNext
                        ? static_cast<uint16_t>(volume_.folders().size() - 1)
                        : fields.iFolder;
  if (fields.cbFile > 0) {
    result = PositionStream(folder, fields.uoffFolderStart);
    if (result == FDIERROR_NONE) result = engine_->stream.Transfer(fields.cbFile, target);
    if (result != FDIERROR_NONE) {
      engine_->io.close(target);
      return result;
    }
  }
  notification.hf = target;
  notification.cb = (fields.attribs & CAB_A_EXEC) ? 1 : 0;
  intptr_t closed = 0;
  result = Notify(fdintCLOSE_FILE_INFO, &notification, &closed);
  if (result == FDIERROR_NONE && closed == 0) result = FDIERROR_TARGET_FILE;
  return result;
}

int CabExtraction::PositionStream(uint16_t folder, uint32_t offset) {
  if (folder != current_folder_) {
    // Files are listed in folder and stream order; going back would mean decoding a folder
    // again for every entry, which a hostile directory could repeat without end.
    if (static_cast<int>(folder) < current_folder_) return FDIERROR_CORRUPT_CABINET;
    PlannedFolder plan;
    int result = DescribeFolder(folder, &plan);
    if (result != FDIERROR_NONE) return result;
    engine_->stream.Start(folder, plan.source, plan.type, this);
    current_folder_ = folder;
  }
  if (engine_->stream.position() > offset) return FDIERROR_CORRUPT_CABINET;
  return engine_->stream.Transfer(offset - engine_->stream.position(), -1);
}

int CabExtraction::DescribeFolder(uint16_t folder, PlannedFolder* plan) const {
  // A folder that began in an earlier volume cannot be decoded from its middle here.
  if (folder == 0 && volume_.first_folder_continued()) return FDIERROR_CORRUPT_CABINET;
  const VolumeIndex::Folder& record = volume_.folders()[folder];
  uint16_t type = record.typeCompress & kCompressTypeMask;
  if (type != kCompressNone && type != kCompressMszip) return FDIERROR_BAD_COMPR_TYPE;
  plan->folder = folder;
  plan->type = type;
  plan->source = BlockSource{};
  plan->source.hf = volume_hf_;
  plan->source.offset = record.coffCabStart;
  plan->source.blocks_left = record.cCFData;
  plan->source.data_reserve = volume_.header().cbCFData;
  plan->source.continues = folder + 1u == volume_.folders().size() && volume_.has_next();
  return FDIERROR_NONE;
}

void CabExtraction::ListUsedFolders() {
  used_folders_.clear();
  for (const VolumeIndex::File& file : volume_.files()) {
    uint16_t folder = file.fields.iFolder;
    if (IsPartial(folder) || file.fields.cbFile == 0) continue;
    if (folder == kFolderContinuedToNext)
      folder = static_cast<uint16_t>(volume_.folders().size() - 1);
    used_folders_.push_back(folder);
  }
  std::sort(used_folders_.begin(), used_folders_.end());
  used_folders_.erase(std::unique(used_folders_.begin(), used_folders_.end()), used_folders_.end());
}

bool CabExtraction::NextFolderAfter(uint16_t folder, PlannedFolder* next) {
  auto later = std::upper_bound(used_folders_.begin(), used_folders_.end(), folder);
  return later != used_folders_.end() && DescribeFolder(*later, next) == FDIERROR_NONE;
}

int CabExtraction::OpenNext(uint16_t type_compress, BlockSource* source) {
  const VolumeIndex& current = data_hf_ == volume_hf_ ? volume_ : data_volume_;
  char next_name[kMaxNameLength + 1];
  char next_disk[kMaxNameLength + 1];
  std::memcpy(next_name, current.next_cabinet(), sizeof(next_name));
  std::memcpy(next_disk, current.next_disk(), sizeof(next_disk));
  const HeaderFields expected = current.header();

  FDINOTIFICATION notification{};
  notification.psz1 = next_name;
  notification.psz2 = next_disk;
  notification.psz3 = path_;
  notification.setID = expected.setID;
  notification.iCabinet = expected.iCabinet;
  notification.fdie = FDIERROR_NONE;
  int result = Notify(fdintNEXT_CABINET, &notification, nullptr);
  if (result != FDIERROR_NONE) return result;
  path_[sizeof(path_) - 1] = 0;

  // One attempt only: a volume that is missing or wrong ends the copy.
  char full[CB_MAX_CAB_PATH + CB_MAX_CABINET_NAME];
  std::snprintf(full, sizeof(full), "%s%s", path_, next_name);
  intptr_t hf = engine_->io.OpenForReading(full);
  if (hf == -1) return FDIERROR_CABINET_NOT_FOUND;
  if (data_hf_ != volume_hf_) engine_->io.close(data_hf_);
  data_hf_ = hf;
  result = data_volume_.Read(engine_->io, hf, VolumeIndex::Depth::kFolders);
  if (result != FDIERROR_NONE) return result;
  const HeaderFields& header = data_volume_.header();
  // Volume numbers rise by one, so a chain of links can never come back to a volume.
  if (header.setID != data_set_id_ || header.iCabinet != data_index_ + 1u ||
      !data_volume_.has_prev() || header.cFolders == 0) {
    return FDIERROR_WRONG_CABINET;
  }
  if (header.cbCFHeader != expected.cbCFHeader || header.cbCFFolder != expected.cbCFFolder ||
      header.cbCFData != expected.cbCFData) {
    return FDIERROR_RESERVE_MISMATCH;
  }
  const VolumeIndex::Folder& first = data_volume_.folders()[0];
  if ((first.typeCompress & kCompressTypeMask) != type_compress) {
    return FDIERROR_CORRUPT_CABINET;
  }
  data_index_ = header.iCabinet;
  *source = BlockSource{};
  source->hf = hf;
  source->offset = first.coffCabStart;
  source->blocks_left = first.cCFData;
  source->data_reserve = header.cbCFData;
  source->continues = header.cFolders == 1 && data_volume_.has_next();
  return AnnounceVolume(data_volume_);
}

}  // namespace qdw::cab
