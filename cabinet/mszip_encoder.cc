#include "cabinet/mszip_encoder.h"

#include "cabinet/cab_format.h"
#include "cabinet/zlib_memory.h"

namespace qdw::cab {

MszipEncoder::~MszipEncoder() {
  if (ready_) deflateEnd(&stream_);
}

bool MszipEncoder::Init(const MemoryCallbacks* memory, int level) {
  UseCallbackMemory(&stream_, memory);
  // Negative window bits: raw deflate, no zlib header or trailer.
  ready_ = deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  return ready_;
}

bool MszipEncoder::Encode(const uint8_t* window, size_t windowSize, const uint8_t* data,
                          size_t size, uint8_t* out, size_t capacity, size_t* written) {
  if (!ready_ || size > kBlockSize || capacity < 2) return false;
  if (deflateReset(&stream_) != Z_OK) return false;
  if (windowSize > 0 &&
      deflateSetDictionary(&stream_, window, static_cast<uInt>(windowSize)) != Z_OK) {
    return false;
  }
  out[0] = 'C';
  out[1] = 'K';
  stream_.next_in = const_cast<Bytef*>(data);
  stream_.avail_in = static_cast<uInt>(size);
  stream_.next_out = out + 2;
  stream_.avail_out = static_cast<uInt>(capacity - 2);
  if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) return false;
  *written = capacity - stream_.avail_out;
  return true;
}

}  // namespace qdw::cab
