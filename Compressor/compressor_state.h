// What the archive writer keeps for the process during a call: the first volume's name, from
// which continuation volumes are named, and the last continuation volume made.
#ifndef QDW_COMPRESSOR_COMPRESSOR_STATE_H_
#define QDW_COMPRESSOR_COMPRESSOR_STATE_H_

#include <cstdint>
#include <optional>
#include <string>

#include "Compressor/compressor.h"

namespace qdw::compressor {

struct CompressorState {
  std::string first_volume_name;
  std::string last_continuation_name;  // empty until the cabinet library asks for a volume

  // Where the progress of a call goes (null: nowhere), and how far the call has got.
  QdwCompressProgress progress = nullptr;
  void* progress_context = nullptr;
  uint64_t bytes_packed = 0;
  int volume = 1;

  // The attributes the tree's listing gave the file being added, so that packing does not look
  // each file up again by path. Empty outside a tree's add, where they are read.
  std::optional<uint32_t> listed_attributes;

  void ReportProgress() const {
    if (progress != nullptr) progress(progress_context, bytes_packed, volume);
  }
};

// The one state of this process (Compress is not reentrant).
CompressorState& ProcessState();

// The name of continuation volume `number` of a set whose first volume is `first_volume_name`:
// "%s_add%d.qdw" with the first name less its last four characters (its ".qdw").
std::string ContinuationVolumeName(const std::string& first_volume_name, int number);

}  // namespace qdw::compressor

#endif  // QDW_COMPRESSOR_COMPRESSOR_STATE_H_
