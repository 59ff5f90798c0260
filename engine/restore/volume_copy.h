// Copies a volume of an archive set into the restore's temporary folder piece by piece, so
// that the run's progress moves, and the dialog repaints, while a volume of gigabytes is copied.
#ifndef QDW_ENGINE_RESTORE_VOLUME_COPY_H_
#define QDW_ENGINE_RESTORE_VOLUME_COPY_H_

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_system.h"

namespace qdw::restore {

// The piece the copy reads and writes at a time.
inline constexpr uint32_t kVolumeCopyPiece = 1u << 20;

// Copies `source` to `target`, which must not exist yet, calling `copied` with the bytes copied
// so far after each piece. False when the copy could not be made whole (source unreadable, a
// target already there, a write that failed or a full disk); a target this call began is
// removed again.
bool CopyVolume(platform::FileSystem& files, const std::string& source, const std::string& target,
                const std::function<void(uint64_t)>& copied, uint32_t piece = kVolumeCopyPiece);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_VOLUME_COPY_H_
