#include "Extractor/file_notifications.h"

#include <string>

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
  // A file that cannot be put in place fails the volume rather than go missing unreported.
  if (!MakeTargetFolders(target, &state.known_folder)) {
    state.refusal = FDIERROR_TARGET_FILE;
    return kAbortCopy;
  }
  return CreateTarget(target);
}

intptr_t FinishedFile(const PFDINOTIFICATION notification) {
  std::string target = ProcessState().destination + notification->psz1;
  FinishTarget(target, notification->hf, notification->date, notification->time,
               notification->attribs);
  ExtractorState& state = ProcessState();
  ++state.files_written;
  state.ReportProgress();
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
