// What the archive writer keeps for the process during a call: the first volume's name, from
// which continuation volumes are named, and the last continuation volume made.
#ifndef QDW_COMPRESSOR_COMPRESSOR_STATE_H_
#define QDW_COMPRESSOR_COMPRESSOR_STATE_H_

#include <string>

namespace qdw::compressor {

struct CompressorState {
  std::string first_volume_name;
  std::string last_continuation_name;  // empty until the cabinet library asks for a volume
};

// The one state of this process (Compress is not reentrant).
CompressorState& ProcessState();

// The name of continuation volume `number` of a set whose first volume is `first_volume_name`:
// "%s_add%d.qdw" with the first name less its last four characters (its ".qdw").
std::string ContinuationVolumeName(const std::string& first_volume_name, int number);

}  // namespace qdw::compressor

#endif  // QDW_COMPRESSOR_COMPRESSOR_STATE_H_
