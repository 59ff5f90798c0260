// Icon groups (resource type 14): the directory that names the images (resource type 3) of one
// icon in its several sizes, and the .ico file that the same images make.
#ifndef QDW_PLATFORM_RESOURCES_ICON_GROUP_H_
#define QDW_PLATFORM_RESOURCES_ICON_GROUP_H_

#include <cstdint>
#include <vector>

#include "platform/library.h"

namespace qdw::resources {

struct IconGroupEntry {
  int width = 0;   // pixels; a stored 0 means 256
  int height = 0;  // pixels; a stored 0 means 256
  uint8_t color_count = 0;
  uint16_t planes = 0;
  uint16_t bit_count = 0;
  uint32_t bytes = 0;  // size of the image as the group records it
  uint16_t image_id = 0;
};

// The entries of a group directory; false when it is not one (wrong header, truncated).
bool ParseIconGroup(const std::vector<uint8_t>& group, std::vector<IconGroupEntry>* entries);

// An .ico file from a group's entries and their images, in the same order.
bool BuildIconFile(const std::vector<IconGroupEntry>& entries,
                   const std::vector<std::vector<uint8_t>>& images, std::vector<uint8_t>* ico);

// The .ico file of icon group `group_id` of a loaded module; false when the group or one of its
// images is missing or malformed.
bool IconFileFromModule(const platform::Library& module, uint16_t group_id,
                        std::vector<uint8_t>* ico);

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_ICON_GROUP_H_
