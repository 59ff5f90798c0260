// MSZIP block encoder: "CK" followed by one complete raw deflate stream of at most 32768 input
// bytes, which may refer back into the previous 32 KiB of its folder.
#ifndef QDW_CABINET_MSZIP_ENCODER_H_
#define QDW_CABINET_MSZIP_ENCODER_H_

#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_memory.h"

namespace qdw::cab {

class MszipEncoder {
 public:
  MszipEncoder() = default;
  ~MszipEncoder();
  MszipEncoder(const MszipEncoder&) = delete;
  MszipEncoder& operator=(const MszipEncoder&) = delete;

  // zlib level 1 to 9. False when zlib cannot get its memory.
  bool Init(const MemoryCallbacks* memory, int level);

  // Encodes `size` bytes (at most kBlockSize) at `data`. The `windowSize` bytes just before the
  // block (the folder's history, at most 32 KiB) serve as dictionary. Writes at most `capacity`
  // bytes to `out`; false when zlib fails or the result does not fit. The output depends only
  // on the block, its history and the level.
  bool Encode(const uint8_t* window, size_t windowSize, const uint8_t* data, size_t size,
              uint8_t* out, size_t capacity, size_t* written);

 private:
  bool Deflate(int level, const uint8_t* window, size_t windowSize, const uint8_t* data,
               size_t size, uint8_t* out, size_t capacity, size_t* written);

  z_stream stream_{};
  bool ready_ = false;
  int level_ = 6;
  int stream_level_ = 6;  // the level the stream is set to now
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_MSZIP_ENCODER_H_
