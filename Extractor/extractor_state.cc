#include "Extractor/extractor_state.h"

namespace qdw::extractor {

ExtractorState& ProcessState() {
  static ExtractorState* state = new ExtractorState();
  return *state;
}

}  // namespace qdw::extractor
