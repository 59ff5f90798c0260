#include "cabinet/fci_callbacks.h"

#include <algorithm>

namespace qdw::cab {
namespace {

// The callbacks count in unsigned int; larger transfers go in slices.
constexpr size_t kSlice = 1u << 30;

}  // namespace

bool FciCallbacks::ReadAll(intptr_t hf, void* data, size_t size, int* err) const {
  auto* bytes = static_cast<uint8_t*>(data);
  while (size > 0) {
    unsigned int want = static_cast<unsigned int>(std::min(size, kSlice));
    unsigned int got = read(hf, bytes, want, err, pv);
    if (got != want) return false;
    bytes += got;
    size -= got;
  }
  return true;
}

bool FciCallbacks::WriteAll(intptr_t hf, const void* data, size_t size, int* err) const {
  auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    unsigned int want = static_cast<unsigned int>(std::min(size, kSlice));
    unsigned int put = write(hf, const_cast<uint8_t*>(bytes), want, err, pv);
    if (put != want) return false;
    bytes += put;
    size -= put;
  }
  return true;
}

bool FciCallbacks::SeekTo(intptr_t hf, long offset, int* err) const {
  return seek(hf, offset, CAB_SEEK_SET, err, pv) == offset;
}

void FciCallbacks::CloseQuietly(intptr_t hf) const {
  int ignored = 0;
  close(hf, &ignored, pv);
}

}  // namespace qdw::cab
