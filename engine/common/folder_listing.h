// The walk every tree operation shares: list a folder with "\*.*", drop "." and "..", and
// tell folders from files by their directory attribute.
#ifndef QDW_ENGINE_COMMON_FOLDER_LISTING_H_
#define QDW_ENGINE_COMMON_FOLDER_LISTING_H_

#include <string>
#include <vector>

#include "platform/file_checks.h"
#include "platform/file_system.h"

namespace qdw::engine {

// The marker file put into every folder of a work folder so that empty folders survive
// packing.
inline constexpr char kFolderMarkerName[] = "VarnoldBackup_QDW2.qkb";

// Lists `folder` in the file system's order, without "." and "..". An existing folder
// with nothing in it gives an empty list; false when the folder cannot be listed.
bool ListFolder(platform::FileSystem& files, const std::string& folder,
                std::vector<platform::DirEntry>* entries);
// As ListFolder for a walk that uses only the entries' names and attributes (their sizes and
// times may be zero): the stand-in then spares a look-up of every entry.
bool ListFolderNames(platform::FileSystem& files, const std::string& folder,
                     std::vector<platform::DirEntry>* entries);

inline bool IsFolder(const platform::DirEntry& entry) {
  return (entry.attributes & platform::kAttrDirectory) != 0;
}

// True when `path` fits the platform's path buffer (259 characters and the terminator).
bool FitsPathLimit(const std::string& path);

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_FOLDER_LISTING_H_
