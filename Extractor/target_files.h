// Putting one unpacked file in place: its folders, the replacement of an earlier file, and
// the time stamp and attributes it was stored with.
#ifndef QDW_EXTRACTOR_TARGET_FILES_H_
#define QDW_EXTRACTOR_TARGET_FILES_H_

#include <cstdint>
#include <string>

namespace qdw::extractor {

// Makes sure the folder of `target` (a full path) exists, creating every missing level below
// the drive. False when a level cannot be created. `known_folder` holds the folder found or made
// for the previous file of the call (files of one folder follow each other), and is updated.
bool MakeTargetFolders(const std::string& target, std::string* known_folder);

// Removes a file at `target` (clearing its read-only attribute first) and creates it afresh,
// truncated, for writing. A runtime file handle, or -1.
intptr_t CreateTarget(const std::string& target);

// The attributes a file stored with `attributes` is left with: a plain file keeps a new file's
// own (kAttrArchive alone).
uint32_t NewFileAttributes(uint16_t attributes);

// Sets the stored local MS-DOS time as creation and last-write time through the still open
// `handle` (made by CreateTarget), closes it and sets the stored attributes (masked with 0x27).
// Failures are ignored: the data is already in place.
void FinishTarget(const std::string& target, intptr_t handle, uint16_t dos_date, uint16_t dos_time,
                  uint16_t attributes);

}  // namespace qdw::extractor

#endif  // QDW_EXTRACTOR_TARGET_FILES_H_
