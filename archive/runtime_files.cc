#include "archive/runtime_files.h"

#include <climits>
#include <cstring>

#include "archive/runtime_flags.h"
#include "platform/platform.h"
#include "platform/windows_path.h"

namespace qdw::archive {
namespace {

// Handles 0 to 2 belong to the standard streams in the runtime library; 0 also means "skip
// this file" to the cabinet library, so the table starts above them.
constexpr intptr_t kFirstHandle = 3;

void SetError(int* error, int value) {
  if (error != nullptr) *error = value;
}

}  // namespace

RuntimeFiles& RuntimeFiles::Instance() {
  static RuntimeFiles* table = new RuntimeFiles();
  return *table;
}

intptr_t RuntimeFiles::Open(const char* path, int oflag, int pmode, int* error) {
  if (path == nullptr || *path == '\0') {
    SetError(error, kErrnoNoEntry);
    return -1;
  }
  if (std::strlen(path) >= platform::kMaxPath) {
    SetError(error, kErrnoNoEntry);
    return -1;
  }
  OpenRequest request = TranslateOpenFlags(oflag, pmode);
  auto entry = std::make_shared<Entry>();
  entry->append = request.append;
  platform::WinError result = platform::DefaultPlatform().files().Open(
      path, request.access, request.share, request.disposition, request.flags_and_attributes,
      &entry->file);
  if (result != platform::kSuccess || entry->file == nullptr) {
    SetError(error, ErrnoOfWinError(result));
    return -1;
  }
  return Place(std::move(entry), error);
}

intptr_t RuntimeFiles::Adopt(std::unique_ptr<platform::File> file, int* error) {
  if (file == nullptr) {
    SetError(error, kErrnoBadHandle);
    return -1;
  }
  auto entry = std::make_shared<Entry>();
  entry->file = std::move(file);
  return Place(std::move(entry), error);
}

intptr_t RuntimeFiles::Place(std::shared_ptr<Entry> entry, int* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i] == nullptr) {
      slots_[i] = std::move(entry);
      return kFirstHandle + static_cast<intptr_t>(i);
    }
  }
  if (slots_.size() >= kMaxOpenFiles) {
    SetError(error, kErrnoTooManyOpen);
    return -1;
  }
  slots_.push_back(std::move(entry));
  return kFirstHandle + static_cast<intptr_t>(slots_.size() - 1);
}

std::shared_ptr<RuntimeFiles::Entry> RuntimeFiles::Find(intptr_t handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle < kFirstHandle) return nullptr;
  size_t index = static_cast<size_t>(handle - kFirstHandle);
  return index < slots_.size() ? slots_[index] : nullptr;
}

unsigned int RuntimeFiles::Read(intptr_t handle, void* buffer, unsigned int count, int* error) {
  std::shared_ptr<Entry> entry = Find(handle);
  if (entry == nullptr) {
    SetError(error, kErrnoBadHandle);
    return kFailedCount;
  }
  // The platform may hand back less than asked; the runtime fills the request up to the end.
  auto* bytes = static_cast<uint8_t*>(buffer);
  unsigned int total = 0;
  while (total < count) {
    uint32_t got = 0;
    platform::WinError result = entry->file->Read(bytes + total, count - total, &got);
    if (result != platform::kSuccess) {
      SetError(error, ErrnoOfWinError(result));
      return total > 0 ? total : kFailedCount;
    }
    if (got == 0) break;
    total += got;
  }
  return total;
}

unsigned int RuntimeFiles::Write(intptr_t handle, const void* buffer, unsigned int count,
                                 int* error) {
  std::shared_ptr<Entry> entry = Find(handle);
  if (entry == nullptr) {
    SetError(error, kErrnoBadHandle);
    return kFailedCount;
  }
  if (entry->append) {
    uint64_t end = 0;
    if (platform::WinError result = entry->file->Seek(0, platform::SeekOrigin::kEnd, &end)) {
      SetError(error, ErrnoOfWinError(result));
      return kFailedCount;
    }
  }
  uint32_t written = 0;
  platform::WinError result = entry->file->Write(buffer, count, &written);
  if (result != platform::kSuccess) {
    SetError(error, ErrnoOfWinError(result));
    return written > 0 ? written : kFailedCount;
  }
  return written;
}

int RuntimeFiles::Close(intptr_t handle, int* error) {
  std::shared_ptr<Entry> entry;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t index = static_cast<size_t>(handle - kFirstHandle);
    if (handle >= kFirstHandle && index < slots_.size()) entry = std::move(slots_[index]);
  }
  if (entry == nullptr) {
    SetError(error, kErrnoBadHandle);
    return -1;
  }
  return 0;  // the file closes when the last user lets go of the entry
}

long RuntimeFiles::Seek(intptr_t handle, long distance, int origin, int* error) {
  std::shared_ptr<Entry> entry = Find(handle);
  if (entry == nullptr) {
    SetError(error, kErrnoBadHandle);
    return -1;
  }
  if (origin < 0 || origin > 2) {
    SetError(error, kErrnoInvalid);
    return -1;
  }
  uint64_t position = 0;
  platform::WinError result =
      entry->file->Seek(distance, static_cast<platform::SeekOrigin>(origin), &position);
  if (result != platform::kSuccess) {
    SetError(error, kErrnoInvalid);
    return -1;
  }
  if (position > static_cast<uint64_t>(LONG_MAX)) {
    SetError(error, kErrnoInvalid);
    return -1;
  }
  return static_cast<long>(position);
}

int RuntimeFiles::SetTimes(intptr_t handle, const platform::FileTime* creation,
                           const platform::FileTime* last_write) {
  std::shared_ptr<Entry> entry = Find(handle);
  if (entry == nullptr) return -1;
  return entry->file->SetTimes(creation, nullptr, last_write) == platform::kSuccess ? 0 : -1;
}

int RuntimeFiles::Remove(const char* path, int* error) {
  if (path == nullptr || std::strlen(path) >= platform::kMaxPath) {
    SetError(error, kErrnoNoEntry);
    return -1;
  }
  platform::WinError result = platform::DefaultPlatform().files().Delete(path);
  if (result != platform::kSuccess) {
    SetError(error, ErrnoOfWinError(result));
    return -1;
  }
  return 0;
}

void RuntimeFiles::CloseAll() {
  std::vector<std::shared_ptr<Entry>> closing;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing.swap(slots_);
  }
}

size_t RuntimeFiles::OpenCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t open = 0;
  for (const auto& slot : slots_) open += slot != nullptr ? 1 : 0;
  return open;
}

}  // namespace qdw::archive
