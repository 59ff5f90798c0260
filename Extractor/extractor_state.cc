#include "Extractor/extractor_state.h"

#include "cabinet/fdi.h"

namespace qdw::extractor {

ExtractorState& ProcessState() {
  static ExtractorState* state = new ExtractorState();
  return *state;
}

bool ExtractorState::FlushPending() {
  switch (pending.Flush([this] { Written(); })) {
    case PendingTargets::Failure::kNone:
      return true;
    case PendingTargets::Failure::kNotCreated:
      return false;
    case PendingTargets::Failure::kNotWritten:
      refusal = FDIERROR_TARGET_FILE;
      return false;
  }
  return false;
}

}  // namespace qdw::extractor
