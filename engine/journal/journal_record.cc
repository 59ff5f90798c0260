#include "engine/journal/journal_record.h"

#include <zlib.h>

#include <cstdio>

namespace qdw::journal {
namespace {

constexpr char kLineStart[] = "QJ ";
constexpr char kChecksumMark[] = " *";
constexpr size_t kChecksumDigits = 8;
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool NeedsEscape(unsigned char c) { return c <= 0x20 || c == '%' || c >= 0x7F; }

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (NeedsEscape(c)) {
      out += '%';
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0x0F];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool Unescape(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out->push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out->push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return true;
}

std::string Checksum(const std::string& text) {
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()),
                          static_cast<uInt>(text.size()));
  char digits[kChecksumDigits + 1];
  std::snprintf(digits, sizeof(digits), "%08lX", static_cast<unsigned long>(crc & 0xFFFFFFFFul));
  return digits;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string AceField(const platform::Ace& ace) {
  if (!ace.raw.empty()) return "raw." + HexField(ace.raw);
  char head[32];
  std::snprintf(head, sizeof(head), "%X.%X.%X.", ace.type, ace.flags,
                static_cast<unsigned>(ace.mask));
  return head + HexField(ace.sid.bytes);
}

bool ParseAce(const std::string& field, platform::Ace* ace) {
  const std::vector<std::string> parts = Split(field, '.');
  if (parts.size() == 2 && parts[0] == "raw") {
    std::vector<uint8_t> raw;
    if (!ParseHexField(parts[1], &raw) || raw.size() < 4) return false;
    *ace = platform::Ace::Opaque(raw);
    return true;
  }
  if (parts.size() != 4) return false;
  uint64_t type = 0;
  uint64_t flags = 0;
  uint64_t mask = 0;
  for (auto [text, value] :
       {std::pair{&parts[0], &type}, {&parts[1], &flags}, {&parts[2], &mask}}) {
    if (text->empty() || text->size() > 8) return false;
    for (char c : *text) {
      if (HexValue(c) < 0) return false;
      *value = *value * 16 + static_cast<uint64_t>(HexValue(c));
    }
  }
  if (type > 0xFF || flags > 0xFF) return false;
  platform::Sid sid;
  if (!ParseHexField(parts[3], &sid.bytes)) return false;
  *ace = platform::Ace(static_cast<uint8_t>(type), static_cast<uint8_t>(flags),
                       static_cast<uint32_t>(mask), sid);
  return true;
}

}  // namespace

const std::string& JournalRecord::Field(size_t index) const {
  static const std::string kEmpty;
  return index < fields.size() ? fields[index] : kEmpty;
}

std::string EncodeRecord(const JournalRecord& record) {
  std::string body = kLineStart + std::to_string(record.sequence) + " " + Escape(record.kind);
  for (const std::string& field : record.fields) body += " " + Escape(field);
  return body + kChecksumMark + Checksum(body);
}

std::optional<JournalRecord> DecodeRecord(const std::string& line) {
  const size_t tail = sizeof(kChecksumMark) - 1 + kChecksumDigits;
  if (line.size() < sizeof(kLineStart) - 1 + tail || line.compare(0, 3, kLineStart) != 0) {
    return std::nullopt;
  }
  const std::string body = line.substr(0, line.size() - tail);
  if (line.compare(body.size(), 2, kChecksumMark) != 0 ||
      line.substr(body.size() + 2) != Checksum(body)) {
    return std::nullopt;
  }
  std::vector<std::string> parts = Split(body.substr(sizeof(kLineStart) - 1), ' ');
  if (parts.size() < 2) return std::nullopt;
  JournalRecord record;
  if (!ParseNumberField(parts[0], &record.sequence)) return std::nullopt;
  if (!Unescape(parts[1], &record.kind) || record.kind.empty()) return std::nullopt;
  for (size_t i = 2; i < parts.size(); ++i) {
    std::string field;
    if (!Unescape(parts[i], &field)) return std::nullopt;
    record.fields.push_back(std::move(field));
  }
  return record;
}

std::string HexField(const std::vector<uint8_t>& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0x0F];
  }
  return out;
}

bool ParseHexField(const std::string& field, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (field.size() % 2 != 0) return false;
  for (size_t i = 0; i < field.size(); i += 2) {
    const int high = HexValue(field[i]);
    const int low = HexValue(field[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes->push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return true;
}

std::string OptionalField(const std::optional<std::string>& text) {
  return text ? "+" + *text : "~";
}

bool ParseOptionalField(const std::string& field, std::optional<std::string>* text) {
  if (field == "~") {
    text->reset();
    return true;
  }
  if (field.empty() || field[0] != '+') return false;
  *text = field.substr(1);
  return true;
}

std::string NumberField(uint64_t value) { return std::to_string(value); }

bool ParseNumberField(const std::string& field, uint64_t* value) {
  if (field.empty() || field.size() > 19) return false;
  uint64_t result = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = result;
  return true;
}

std::string AclField(bool present, const platform::Acl& acl) {
  if (!present) return "none";
  std::string out = "acl";
  for (const platform::Ace& ace : acl.entries) out += "," + AceField(ace);
  return out;
}

bool ParseAclField(const std::string& field, bool* present, platform::Acl* acl) {
  acl->entries.clear();
  if (field == "none") {
    *present = false;
    return true;
  }
  const std::vector<std::string> parts = Split(field, ',');
  if (parts[0] != "acl") return false;
  for (size_t i = 1; i < parts.size(); ++i) {
    platform::Ace ace;
    if (!ParseAce(parts[i], &ace)) return false;
    acl->entries.push_back(ace);
  }
  *present = true;
  return true;
}

std::vector<std::string> ShareFields(const platform::ShareInfo& share) {
  const bool has_security = share.security.has_value();
  return {share.name,
          NumberField(share.type),
          OptionalField(share.remark),
          NumberField(share.permissions),
          std::to_string(share.max_uses),
          OptionalField(share.path),
          OptionalField(share.password),
          has_security ? AclField(share.security->dacl_present, share.security->dacl) : "~"};
}

bool ParseShareFields(const std::vector<std::string>& fields, size_t first,
                      platform::ShareInfo* share) {
  if (fields.size() < first + 8) return false;
  const std::string* f = &fields[first];
  uint64_t type = 0;
  uint64_t permissions = 0;
  *share = platform::ShareInfo();
  share->name = f[0];
  if (share->name.empty() || !ParseNumberField(f[1], &type) ||
      !ParseOptionalField(f[2], &share->remark) || !ParseNumberField(f[3], &permissions) ||
      !ParseOptionalField(f[5], &share->path) || !ParseOptionalField(f[6], &share->password)) {
    return false;
  }
  share->type = static_cast<uint32_t>(type);
  share->permissions = static_cast<uint32_t>(permissions);
  const std::string& max_uses = f[4];
  const bool negative = !max_uses.empty() && max_uses[0] == '-';
  uint64_t magnitude = 0;
  if (!ParseNumberField(negative ? max_uses.substr(1) : max_uses, &magnitude) ||
      magnitude > 0x7FFFFFFF) {
    return false;
  }
  share->max_uses = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                                  : static_cast<int64_t>(magnitude));
  if (f[7] != "~") {
    platform::SecurityDescriptor security;
    if (!ParseAclField(f[7], &security.dacl_present, &security.dacl)) return false;
    share->security = security;
  }
  return true;
}

std::string HiveField(platform::Hive hive) {
  switch (hive) {
    case platform::Hive::kLocalMachine:
      return "HKLM";
    case platform::Hive::kCurrentUser:
      return "HKCU";
    case platform::Hive::kUsers:
      return "HKU";
  }
  return "HKLM";
}

bool ParseHiveField(const std::string& field, platform::Hive* hive) {
  for (platform::Hive candidate :
       {platform::Hive::kLocalMachine, platform::Hive::kCurrentUser, platform::Hive::kUsers}) {
    if (HiveField(candidate) == field) {
      *hive = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace qdw::journal
