#include <limits>

#include "platform/file_system.h"

namespace qdw::platform {

WinError FileSystem::CreateNewFile(const NewFile& file) {
  // One write takes the bytes: a larger file is never made half.
  if (file.data.size() > std::numeric_limits<uint32_t>::max()) return kErrorInvalidParameter;
  std::unique_ptr<File> opened;
  // As the runtime library's _open makes a new file: shared for reading and writing.
  if (WinError error = Open(file.path, kGenericWrite, kShareRead | kShareWrite,
                            Disposition::kCreateNew, kAttrNormal | kFlagSequentialScan, &opened)) {
    return error;
  }
  if (opened == nullptr) return kErrorInvalidHandle;
  if (!file.data.empty()) {
    uint32_t written = 0;
    WinError error =
        opened->Write(file.data.data(), static_cast<uint32_t>(file.data.size()), &written);
    if (error != kSuccess) return error;
    if (written != file.data.size()) return kErrorDiskFull;
  }
  // The data is in place: a stamp or attributes that cannot be set do not undo it.
  if (file.stamped) opened->SetTimes(&file.stamp, nullptr, &file.stamp);
  opened.reset();
  if (file.attributes != kAttrArchive) WriteAttributes(file.path, file.attributes);
  return kSuccess;
}

}  // namespace qdw::platform
