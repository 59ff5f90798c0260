// Bounds-checked little-endian reads over bytes that come from a file we do not trust.
#ifndef QDW_PLATFORM_RESOURCES_BYTE_VIEW_H_
#define QDW_PLATFORM_RESOURCES_BYTE_VIEW_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qdw::resources {

// A read-only window on bytes owned elsewhere. Every read reports false instead of reading past
// the end, whatever the offset (offsets near SIZE_MAX included).
class ByteView {
 public:
  ByteView() = default;
  ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteView(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

  size_t size() const { return size_; }
  const uint8_t* data() const { return data_; }

  // True when [offset, offset + length) lies inside the view.
  bool Contains(size_t offset, size_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

  // The bytes [offset, offset + length), or an empty view with false when out of range.
  bool Sub(size_t offset, size_t length, ByteView* out) const {
    if (!Contains(offset, length)) return false;
    *out = ByteView(data_ + offset, length);
    return true;
  }

  bool U8(size_t offset, uint8_t* value) const {
    if (!Contains(offset, 1)) return false;
    *value = data_[offset];
    return true;
  }

  bool U16(size_t offset, uint16_t* value) const {
    if (!Contains(offset, 2)) return false;
    *value = static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    return true;
  }

  bool U32(size_t offset, uint32_t* value) const {
    if (!Contains(offset, 4)) return false;
    *value = static_cast<uint32_t>(data_[offset]) |
             (static_cast<uint32_t>(data_[offset + 1]) << 8) |
             (static_cast<uint32_t>(data_[offset + 2]) << 16) |
             (static_cast<uint32_t>(data_[offset + 3]) << 24);
    return true;
  }

  bool I16(size_t offset, int16_t* value) const {
    uint16_t raw = 0;
    if (!U16(offset, &raw)) return false;
    *value = static_cast<int16_t>(raw);
    return true;
  }

  // Copies [offset, offset + length) into out.
  bool Copy(size_t offset, size_t length, std::vector<uint8_t>* out) const {
    if (!Contains(offset, length)) return false;
    out->assign(data_ + offset, data_ + offset + length);
    return true;
  }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_BYTE_VIEW_H_
