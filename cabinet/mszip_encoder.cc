#include "cabinet/mszip_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "cabinet/cab_format.h"
#include "cabinet/zlib_memory.h"

namespace qdw::cab {
namespace {

// Above this many bits per byte a block alone cannot shrink by more than a fraction of a
// percent (random, encrypted or already compressed data). It may still repeat the folder's
// history, which the quick level finds at a fraction of the full search's cost.
constexpr double kDenseEntropy = 7.99;
constexpr int kQuickLevel = 1;

bool LooksIncompressible(const uint8_t* data, size_t size) {
  if (size < 4096) return false;
  uint32_t counts[256] = {};
  for (size_t i = 0; i < size; ++i) ++counts[data[i]];
  double bits = 0;
  for (uint32_t count : counts) {
    if (count > 0) bits -= count * std::log2(static_cast<double>(count) / size);
  }
  return bits / size >= kDenseEntropy;
}

// Whether a dense block may repeat part of its history: a few short samples spread over the
// block are looked up in the window. A repeat that covers none of them is left uncompressed.
bool MaySharePartsWithHistory(const uint8_t* window, size_t windowSize, const uint8_t* data,
                              size_t size) {
  constexpr size_t kSamples = 4;
  constexpr size_t kSampleSize = 16;
  if (windowSize < kSampleSize) return false;
  for (size_t i = 0; i < kSamples; ++i) {
    const uint8_t* sample = data + (2 * i + 1) * (size - kSampleSize) / (2 * kSamples);
    std::boyer_moore_horspool_searcher<const uint8_t*> searcher(sample, sample + kSampleSize);
    const uint8_t* end = window + windowSize;
    if (std::search(window, end, searcher) != end) return true;
  }
  return false;
}

// "CK" and one final stored deflate block: what deflate itself makes of dense data, without
// spending a search on it.
bool Store(const uint8_t* data, size_t size, uint8_t* out, size_t capacity, size_t* written) {
  constexpr size_t kOverhead = 7;  // "CK", the block header byte, LEN and NLEN
  if (capacity < size + kOverhead) return false;
  out[0] = 'C';
  out[1] = 'K';
  out[2] = 0x01;  // BFINAL set, BTYPE 00 (stored); the rest of the byte is padding
  const uint16_t length = static_cast<uint16_t>(size);
  const uint16_t complement = static_cast<uint16_t>(~length);
  out[3] = static_cast<uint8_t>(length);
  out[4] = static_cast<uint8_t>(length >> 8);
  out[5] = static_cast<uint8_t>(complement);
  out[6] = static_cast<uint8_t>(complement >> 8);
  std::memcpy(out + kOverhead, data, size);
  *written = size + kOverhead;
  return true;
}

}  // namespace

MszipEncoder::~MszipEncoder() {
  if (ready_) deflateEnd(&stream_);
}

bool MszipEncoder::Init(const MemoryCallbacks* memory, int level) {
  UseCallbackMemory(&stream_, memory);
  level_ = stream_level_ = level;
  // Negative window bits: raw deflate, no zlib header or trailer.
  ready_ = deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  return ready_;
}

bool MszipEncoder::Encode(const uint8_t* window, size_t windowSize, const uint8_t* data,
                          size_t size, uint8_t* out, size_t capacity, size_t* written) {
  if (!ready_ || size > kBlockSize || capacity < 2) return false;
  bool dense = LooksIncompressible(data, size);
  if (dense && !MaySharePartsWithHistory(window, windowSize, data, size)) {
    return Store(data, size, out, capacity, written);
  }
  if (!Deflate(dense ? kQuickLevel : level_, window, windowSize, data, size, out, capacity,
               written)) {
    return false;
  }
  // A dense block that shrank anyway repeats its history: it gets the full search.
  if (dense && *written < size - size / 100) {
    return Deflate(level_, window, windowSize, data, size, out, capacity, written);
  }
  return true;
}

bool MszipEncoder::Deflate(int level, const uint8_t* window, size_t windowSize, const uint8_t* data,
                           size_t size, uint8_t* out, size_t capacity, size_t* written) {
  if (deflateReset(&stream_) != Z_OK) return false;
  // Right after a reset no input is pending, so changing the level only changes settings.
  if (level != stream_level_) {
    if (deflateParams(&stream_, level, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    stream_level_ = level;
  }
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
