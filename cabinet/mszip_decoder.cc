#include "cabinet/mszip_decoder.h"

#include <cstring>

#include "cabinet/zlib_memory.h"

namespace qdw::cab {

MszipDecoder::~MszipDecoder() {
  if (ready_) inflateEnd(&stream_);
}

bool MszipDecoder::Init(const MemoryCallbacks* memory) {
  UseCallbackMemory(&stream_, memory);
  ready_ = inflateInit2(&stream_, -15) == Z_OK;
  // An empty dictionary makes zlib take its window now, on the thread that asks for the
  // decoder, rather than in the middle of a folder on a decoder thread.
  static const Bytef kNothing[1] = {0};
  if (ready_ && inflateSetDictionary(&stream_, kNothing, 0) != Z_OK) {
    inflateEnd(&stream_);
    ready_ = false;
  }
  return ready_;
}

bool MszipDecoder::Decode(const uint8_t* in, size_t size, uint8_t* out, size_t expected) {
  if (!ready_ || size < 2 || in[0] != 'C' || in[1] != 'K' || expected > kBlockSize) return false;
  if (inflateReset(&stream_) != Z_OK) return false;
  if (history_size_ > 0 &&
      inflateSetDictionary(&stream_, history_, static_cast<uInt>(history_size_)) != Z_OK) {
    return false;
  }
  stream_.next_in = const_cast<Bytef*>(in + 2);
  stream_.avail_in = static_cast<uInt>(size - 2);
  stream_.next_out = out;
  stream_.avail_out = static_cast<uInt>(expected);
  // The output buffer holds exactly the stated size, so a stream that would produce more stops
  // with Z_BUF_ERROR instead of growing anything.
  if (inflate(&stream_, Z_FINISH) != Z_STREAM_END || stream_.avail_out != 0) return false;
  Remember(out, expected);
  return true;
}

void MszipDecoder::Remember(const uint8_t* out, size_t size) {
  if (size >= kBlockSize) {
    std::memcpy(history_, out + size - kBlockSize, kBlockSize);
    history_size_ = kBlockSize;
    return;
  }
  size_t keep = history_size_ + size > kBlockSize ? kBlockSize - size : history_size_;
  std::memmove(history_, history_ + history_size_ - keep, keep);
  std::memcpy(history_ + keep, out, size);
  history_size_ = keep + size;
}

}  // namespace qdw::cab
