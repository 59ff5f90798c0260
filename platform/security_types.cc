#include "platform/security_types.h"

#include <cstdlib>
#include <utility>

namespace qdw::platform {

bool Sid::IsValid() const {
  if (bytes.size() < 8 || bytes[0] != 1) return false;
  size_t count = bytes[1];
  return count <= 15 && bytes.size() == 8 + 4 * count;
}

std::string Sid::ToString() const {
  if (!IsValid()) return std::string();
  uint64_t authority = 0;
  for (int i = 2; i < 8; ++i) authority = (authority << 8) | bytes[i];
  std::string text = "S-1-" + std::to_string(authority);
  for (size_t i = 0; i < bytes[1]; ++i) {
    const uint8_t* p = &bytes[8 + 4 * i];
    uint32_t sub = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    text += "-" + std::to_string(sub);
  }
  return text;
}

bool Sid::Parse(const std::string& text, Sid* out) {
  if (text.size() < 5 || (text[0] != 'S' && text[0] != 's') || text.compare(1, 3, "-1-") != 0) {
    return false;
  }
  std::vector<uint64_t> parts;
  size_t pos = 4;
  while (pos <= text.size()) {
    size_t end = text.find('-', pos);
    if (end == std::string::npos) end = text.size();
    if (end == pos) return false;
    uint64_t value = 0;
    for (size_t i = pos; i < end; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      value = value * 10 + static_cast<uint64_t>(text[i] - '0');
      if (value > 0xFFFFFFFFFFFFULL) return false;
    }
    parts.push_back(value);
    pos = end + 1;
  }
  if (parts.empty() || parts.size() > 16) return false;
  Sid sid;
  sid.bytes.push_back(1);
  sid.bytes.push_back(static_cast<uint8_t>(parts.size() - 1));
  for (int shift = 40; shift >= 0; shift -= 8) {
    sid.bytes.push_back(static_cast<uint8_t>(parts[0] >> shift));
  }
  for (size_t i = 1; i < parts.size(); ++i) {
    if (parts[i] > 0xFFFFFFFFULL) return false;
    for (int b = 0; b < 4; ++b) sid.bytes.push_back(static_cast<uint8_t>(parts[i] >> (8 * b)));
  }
  *out = sid;
  return true;
}

Ace Ace::Opaque(std::vector<uint8_t> entry) {
  Ace ace;
  if (entry.size() >= 2) {
    ace.type = entry[0];
    ace.flags = entry[1];
  }
  ace.raw = std::move(entry);
  return ace;
}

Sid Sid::World() {
  Sid sid;
  Parse("S-1-1-0", &sid);
  return sid;
}

}  // namespace qdw::platform
