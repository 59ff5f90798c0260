// MSZIP block decoder. Keeps the last 32 KiB of the folder's output as the dictionary of the
// next block, so blocks must be decoded in order from the folder's start.
#ifndef QDW_CABINET_MSZIP_DECODER_H_
#define QDW_CABINET_MSZIP_DECODER_H_

#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_format.h"
#include "cabinet/cab_memory.h"

namespace qdw::cab {

class MszipDecoder {
 public:
  MszipDecoder() = default;
  ~MszipDecoder();
  MszipDecoder(const MszipDecoder&) = delete;
  MszipDecoder& operator=(const MszipDecoder&) = delete;

  bool Init(const MemoryCallbacks* memory);

  // Forgets the history: the next block is the first of a folder.
  void StartFolder() { history_size_ = 0; }

  // Decodes one payload into exactly `expected` bytes (at most kBlockSize) at `out`. False when
  // the payload lacks "CK", is not valid deflate, or decodes to any other size.
  bool Decode(const uint8_t* in, size_t size, uint8_t* out, size_t expected);

 private:
  void Remember(const uint8_t* out, size_t size);

  z_stream stream_{};
  bool ready_ = false;
  uint8_t history_[kBlockSize];
  size_t history_size_ = 0;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_MSZIP_DECODER_H_
