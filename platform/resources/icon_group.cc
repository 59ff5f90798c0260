#include "platform/resources/icon_group.h"

#include <limits>
#include <utility>

#include "platform/resources/byte_view.h"

namespace qdw::resources {
namespace {

constexpr uint16_t kIconType = 1;
constexpr size_t kHeaderBytes = 6;
constexpr size_t kGroupEntryBytes = 14;
constexpr size_t kFileEntryBytes = 16;

void Put16(std::vector<uint8_t>* out, uint16_t value) {
  out->push_back(static_cast<uint8_t>(value));
  out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t value) {
  Put16(out, static_cast<uint16_t>(value));
  Put16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace

bool ParseIconGroup(const std::vector<uint8_t>& group, std::vector<IconGroupEntry>* entries) {
  const ByteView view(group);
  uint16_t reserved = 0;
  uint16_t type = 0;
  uint16_t count = 0;
  if (!view.U16(0, &reserved) || !view.U16(2, &type) || !view.U16(4, &count)) return false;
  if (reserved != 0 || type != kIconType) return false;
  if (!view.Contains(kHeaderBytes, static_cast<size_t>(count) * kGroupEntryBytes)) return false;
  entries->clear();
  for (uint16_t i = 0; i < count; ++i) {
    const size_t at = kHeaderBytes + i * kGroupEntryBytes;
    uint8_t width = 0;
    uint8_t height = 0;
    IconGroupEntry entry;
    view.U8(at, &width);
    view.U8(at + 1, &height);
    view.U8(at + 2, &entry.color_count);
    view.U16(at + 4, &entry.planes);
    view.U16(at + 6, &entry.bit_count);
    view.U32(at + 8, &entry.bytes);
    view.U16(at + 12, &entry.image_id);
    entry.width = width == 0 ? 256 : width;
    entry.height = height == 0 ? 256 : height;
    entries->push_back(entry);
  }
  return true;
}

bool BuildIconFile(const std::vector<IconGroupEntry>& entries,
                   const std::vector<std::vector<uint8_t>>& images, std::vector<uint8_t>* ico) {
  if (entries.size() != images.size() || entries.size() > std::numeric_limits<uint16_t>::max()) {
    return false;
  }
  std::vector<uint8_t> out;
  Put16(&out, 0);
  Put16(&out, kIconType);
  Put16(&out, static_cast<uint16_t>(entries.size()));
  uint64_t offset = kHeaderBytes + kFileEntryBytes * entries.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    const IconGroupEntry& entry = entries[i];
    if (offset + images[i].size() > std::numeric_limits<uint32_t>::max()) return false;
    out.push_back(static_cast<uint8_t>(entry.width >= 256 ? 0 : entry.width));
    out.push_back(static_cast<uint8_t>(entry.height >= 256 ? 0 : entry.height));
    out.push_back(entry.color_count);
    out.push_back(0);
    Put16(&out, entry.planes);
    Put16(&out, entry.bit_count);
    // The file records the image as it really is, whatever size the group claimed.
    Put32(&out, static_cast<uint32_t>(images[i].size()));
    Put32(&out, static_cast<uint32_t>(offset));
    offset += images[i].size();
  }
  for (const std::vector<uint8_t>& image : images)
    out.insert(out.end(), image.begin(), image.end());
  *ico = std::move(out);
  return true;
}

bool IconFileFromModule(const platform::Library& module, uint16_t group_id,
                        std::vector<uint8_t>* ico) {
  std::vector<uint8_t> group;
  std::vector<IconGroupEntry> entries;
  if (!module.Resource(platform::kResourceGroupIcon, group_id, &group) ||
      !ParseIconGroup(group, &entries) || entries.empty()) {
    return false;
  }
  std::vector<std::vector<uint8_t>> images(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!module.Resource(platform::kResourceIcon, entries[i].image_id, &images[i]) ||
        images[i].empty()) {
      return false;
    }
  }
  return BuildIconFile(entries, images, ico);
}

}  // namespace qdw::resources
