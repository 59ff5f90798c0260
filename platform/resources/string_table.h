// Strings of a module's string table (resource type 6). The table stores strings in blocks of
// sixteen: string N lives in block N / 16 + 1 at place N % 16, each as a length in UTF-16 units
// followed by the units; a length of 0 means the string is missing.
#ifndef QDW_PLATFORM_RESOURCES_STRING_TABLE_H_
#define QDW_PLATFORM_RESOURCES_STRING_TABLE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/resources/code_page.h"

namespace qdw::resources {

inline constexpr int kStringsPerBlock = 16;

// Resource id of the block that holds string `string_id`.
inline uint16_t StringBlockId(uint16_t string_id) {
  return static_cast<uint16_t>(string_id / kStringsPerBlock + 1);
}

// Entry `index` (0 to 15) of a block. False when the block is too short to hold it (a malformed
// block); an empty text means the string is missing.
bool DecodeStringBlockEntry(const std::vector<uint8_t>& block, int index, std::u16string* text);

// Loads strings by number from a loaded module, converted to the program's ANSI code page.
// The convenience the application uses for every message and control text.
class ResourceStrings {
 public:
  // module may be null (the resource module could not be loaded): every string is then empty.
  // The module must outlive this object.
  explicit ResourceStrings(const platform::Library* module, int code_page = kCodePageWestern)
      : module_(module), code_page_(code_page) {}

  // String `id`, or an empty text when the module, its block or the string is missing.
  std::string Text(uint16_t id) const;
  // The same, telling a missing string (false) from a present one.
  bool Find(uint16_t id, std::string* text) const;
  // String `id` as stored, in UTF-16; false when missing.
  bool FindUtf16(uint16_t id, std::u16string* text) const;

 private:
  const platform::Library* module_;
  int code_page_;
};

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_STRING_TABLE_H_
