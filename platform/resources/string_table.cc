#include "platform/resources/string_table.h"

#include "platform/resources/byte_view.h"

namespace qdw::resources {

bool DecodeStringBlockEntry(const std::vector<uint8_t>& block, int index, std::u16string* text) {
  if (index < 0 || index >= kStringsPerBlock) return false;
  const ByteView view(block);
  size_t offset = 0;
  for (int i = 0;; ++i) {
    uint16_t length = 0;
    if (!view.U16(offset, &length)) return false;
    offset += 2;
    if (!view.Contains(offset, static_cast<size_t>(length) * 2)) return false;
    if (i == index) {
      text->clear();
      text->reserve(length);
      for (uint16_t c = 0; c < length; ++c) {
        uint16_t unit = 0;
        view.U16(offset + 2u * c, &unit);
        text->push_back(static_cast<char16_t>(unit));
      }
      return true;
    }
    offset += static_cast<size_t>(length) * 2;
  }
}

bool ResourceStrings::FindUtf16(uint16_t id, std::u16string* text) const {
  if (module_ == nullptr) return false;
  std::vector<uint8_t> block;
  if (!module_->Resource(platform::kResourceString, StringBlockId(id), &block)) return false;
  std::u16string decoded;
  if (!DecodeStringBlockEntry(block, id % kStringsPerBlock, &decoded) || decoded.empty()) {
    return false;
  }
  *text = std::move(decoded);
  return true;
}

bool ResourceStrings::Find(uint16_t id, std::string* text) const {
  std::u16string wide;
  return FindUtf16(id, &wide) && Utf16ToCodePage(wide, code_page_, text);
}

std::string ResourceStrings::Text(uint16_t id) const {
  std::string text;
  return Find(id, &text) ? text : std::string();
}

}  // namespace qdw::resources
