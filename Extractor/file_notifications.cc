#include "Extractor/file_notifications.h"

#include <string>
#include <utility>

#include "Extractor/extractor_state.h"
#include "Extractor/reader_callbacks.h"
#include "Extractor/target_files.h"
#include "cabinet/cab_names.h"
#include "platform/windows_path.h"

namespace qdw::extractor {
namespace {

constexpr intptr_t kAbortCopy = -1;

intptr_t OfferedFile(const PFDINOTIFICATION notification) {
  ExtractorState& state = ProcessState();
  // A hostile archive must not write anywhere but below the destination.
  if (notification->psz1 == nullptr || !cab::CabNameIsSafeRelative(notification->psz1)) {
    state.refusal = FDIERROR_CORRUPT_CABINET;
    return kAbortCopy;
  }
  std::string target = state.destination + notification->psz1;
  if (target.size() >= platform::kMaxPath) {
    state.refusal = FDIERROR_TARGET_FILE;
    return kAbortCopy;
  }
  // Small files wait to be put in place together; anything else goes after those waiting.
  const auto size = static_cast<uint32_t>(notification->cb);
  const bool waits = notification->cb >= 0 && PendingTargets::Takes(size);
  if ((!waits || !state.pending.Fits(target, size)) && !state.FlushPending()) return kAbortCopy;
  // A file that cannot be put in place fails the volume rather than go missing unreported.
  if (!MakeTargetFolders(target, &state.known_folder)) {
    state.refusal = FDIERROR_TARGET_FILE;
    return kAbortCopy;
  }
  return waits ? state.pending.Add(std::move(target), size) : CreateTarget(target);
}

intptr_t FinishedFile(const PFDINOTIFICATION notification) {
  ExtractorState& state = ProcessState();
  if (state.pending.Holds(notification->hf)) {
    state.pending.Finish(notification->hf, notification->date, notification->time,
                         notification->attribs);
    return 1;
  }
  std::string target = state.destination + notification->psz1;
  FinishTarget(target, notification->hf, notification->date, notification->time,
               notification->attribs);
  state.Written();
  return 1;
}

}  // namespace

intptr_t QDW_CAB_CALL ReaderNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notification) {
  try {
    switch (type) {
      case fdintCOPY_FILE:
        return OfferedFile(notification);
      case fdintCLOSE_FILE_INFO:
        return FinishedFile(notification);
      default:
        return 0;
    }
  } catch (...) {
    // Out of memory mid-file: fail the copy either way (0 from a close means failure).
    return type == fdintCLOSE_FILE_INFO ? 0 : kAbortCopy;
  }
}

}  // namespace qdw::extractor
