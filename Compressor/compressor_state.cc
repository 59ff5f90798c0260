#include "Compressor/compressor_state.h"

namespace qdw::compressor {

CompressorState& ProcessState() {
  static CompressorState* state = new CompressorState();
  return *state;
}

std::string ContinuationVolumeName(const std::string& first_volume_name, int number) {
  // A name shorter than an extension keeps all of itself rather than reading before its start.
  std::string base = first_volume_name.size() > 4
                         ? first_volume_name.substr(0, first_volume_name.size() - 4)
                         : first_volume_name;
  return base + "_add" + std::to_string(number) + ".qdw";
}

}  // namespace qdw::compressor
