#include "platform/file_checks.h"

namespace qdw::platform {

namespace {

bool Attributes(FileSystem& files, const std::string& path, uint32_t* attributes) {
  return files.ReadAttributes(path, attributes) == kSuccess && *attributes != kInvalidAttributes;
}

}  // namespace

bool PathExists(FileSystem& files, const std::string& path) {
  uint32_t attributes = 0;
  return Attributes(files, path, &attributes);
}

bool FolderExists(FileSystem& files, const std::string& path) {
  uint32_t attributes = 0;
  return Attributes(files, path, &attributes) && (attributes & kAttrDirectory) != 0;
}

bool FileExists(FileSystem& files, const std::string& path) {
  uint32_t attributes = 0;
  return Attributes(files, path, &attributes) && (attributes & kAttrDirectory) == 0;
}

bool FolderExistsAsWritten(FileSystem& files, const std::string& folder) {
  std::string path = StripTrailingSeparator(folder);
  if (IsBareDrive(path)) path += '\\';
  return FolderExists(files, path);
}

}  // namespace qdw::platform
