#include "cabinet/fdi_callbacks.h"

#include <algorithm>
#include <climits>

namespace qdw::cab {
namespace {

constexpr size_t kSlice = 1u << 30;

}  // namespace

size_t FdiCallbacks::ReadSome(intptr_t hf, void* data, size_t size) const {
  auto* bytes = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    unsigned int want = static_cast<unsigned int>(std::min(size - done, kSlice));
    unsigned int got = read(hf, bytes + done, want);
    if (got == static_cast<unsigned int>(-1) || got == 0 || got > want) break;
    done += got;
  }
  return done;
}

bool FdiCallbacks::ReadAll(intptr_t hf, void* data, size_t size) const {
  return ReadSome(hf, data, size) == size;
}

bool FdiCallbacks::WriteAll(intptr_t hf, const void* data, size_t size) const {
  auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    unsigned int want = static_cast<unsigned int>(std::min(size, kSlice));
    unsigned int put = write(hf, const_cast<uint8_t*>(bytes), want);
    if (put != want) return false;
    bytes += put;
    size -= put;
  }
  return true;
}

bool FdiCallbacks::SeekTo(intptr_t hf, uint64_t offset) const {
  if (offset > static_cast<uint64_t>(LONG_MAX)) return false;
  long target = static_cast<long>(offset);
  return seek(hf, target, CAB_SEEK_SET) == target;
}

int64_t FdiCallbacks::SizeOf(intptr_t hf) const {
  long end = seek(hf, 0, CAB_SEEK_END);
  if (end < 0 || seek(hf, 0, CAB_SEEK_SET) != 0) return -1;
  return end;
}

intptr_t FdiCallbacks::OpenForReading(const char* path) const {
  return open(const_cast<char*>(path), CAB_O_RDONLY | CAB_O_BINARY | CAB_O_SEQUENTIAL, 0);
}

}  // namespace qdw::cab
