// What the archive reader keeps for the process during a call: the destination folder, and
// the result the call ends with when a file was refused on this side.
#ifndef QDW_EXTRACTOR_EXTRACTOR_STATE_H_
#define QDW_EXTRACTOR_EXTRACTOR_STATE_H_

#include <cstdint>
#include <string>

#include "Extractor/extractor.h"
#include "Extractor/pending_targets.h"

namespace qdw::extractor {

struct ExtractorState {
  std::string destination;   // ends with "\"
  std::string known_folder;  // the target folder of the previous file, known to exist
  // 0, or the code Extract returns instead of the cabinet library's "User aborted." after the
  // notification callback refused a file.
  int refusal = 0;

  // Small files unpacked but not yet in place.
  PendingTargets pending;

  // Where the progress of a call goes (null: nowhere), and how far the call has got.
  QdwExtractProgress progress = nullptr;
  void* progress_context = nullptr;
  uint64_t cabinet_bytes_read = 0;
  unsigned long files_written = 0;

  void ReportProgress() const {
    if (progress != nullptr) progress(progress_context, cabinet_bytes_read, files_written);
  }

  // Counts a file put in place.
  void Written() {
    ++files_written;
    ReportProgress();
  }

  // Puts the waiting small files in place. False, with the volume's result stored in
  // `refusal` (0: "User aborted.", as a target that cannot be created ends a volume), when one
  // failed.
  bool FlushPending();
};

// The one state of this process (Extract is not reentrant).
ExtractorState& ProcessState();

}  // namespace qdw::extractor

#endif  // QDW_EXTRACTOR_EXTRACTOR_STATE_H_
