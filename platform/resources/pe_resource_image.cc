#include "platform/resources/pe_resource_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace qdw::resources {
namespace {

// A resource module is small; a larger file is not what we are looking for.
constexpr std::streamoff kMaxImageBytes = 256 * 1024 * 1024;

constexpr uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kOptionalMagic32 = 0x10B;
constexpr uint16_t kOptionalMagic64 = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr size_t kCoffHeaderBytes = 20;
constexpr size_t kSectionHeaderBytes = 40;
constexpr size_t kDirectoryHeaderBytes = 16;
constexpr size_t kDirectoryEntryBytes = 8;
constexpr size_t kDataEntryBytes = 16;
constexpr uint32_t kHighBit = 0x80000000u;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::unique_ptr<PeResourceImage> PeResourceImage::Open(const std::string& host_path) {
  std::ifstream file(host_path, std::ios::binary);
  if (!file) return nullptr;
  file.seekg(0, std::ios::end);
  const std::streamoff length = file.tellg();
  if (length <= 0 || length > kMaxImageBytes) return nullptr;
  file.seekg(0, std::ios::beg);
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) return nullptr;
  return FromBytes(std::move(bytes));
}

std::unique_ptr<PeResourceImage> PeResourceImage::FromBytes(std::vector<uint8_t> bytes) {
  std::unique_ptr<PeResourceImage> image(new PeResourceImage(std::move(bytes)));
  if (!image->ParseHeaders()) return nullptr;
  return image;
}

bool PeResourceImage::ParseHeaders() {
  const ByteView file(bytes_);
  uint16_t dos_magic = 0;
  uint32_t pe_offset = 0;
  uint32_t signature = 0;
  if (!file.U16(0, &dos_magic) || dos_magic != kDosMagic) return false;
  if (!file.U32(0x3C, &pe_offset) || !file.U32(pe_offset, &signature)) return false;
  if (signature != kPeSignature) return false;

  const size_t coff = static_cast<size_t>(pe_offset) + 4;
  uint16_t section_count = 0;
  uint16_t optional_size = 0;
  if (!file.U16(coff + 2, &section_count) || !file.U16(coff + 16, &optional_size)) return false;
  const size_t optional = coff + kCoffHeaderBytes;
  uint16_t magic = 0;
  if (!file.U16(optional, &magic)) return false;
  size_t count_field = 0;
  size_t directories = 0;
  if (magic == kOptionalMagic32) {
    count_field = 92;
    directories = 96;
  } else if (magic == kOptionalMagic64) {
    count_field = 108;
    directories = 112;
  } else {
    return false;
  }
  uint32_t directory_count = 0;
  if (!file.U32(optional + count_field, &directory_count)) return false;
  const size_t resource_field = directories + kResourceDirectoryIndex * 8;
  uint32_t resource_rva = 0;
  uint32_t resource_size = 0;
  if (directory_count > kResourceDirectoryIndex && resource_field + 8 <= optional_size) {
    if (!file.U32(optional + resource_field, &resource_rva) ||
        !file.U32(optional + resource_field + 4, &resource_size)) {
      return false;
    }
  }

  const size_t table = optional + optional_size;
  if (!file.Contains(table, static_cast<size_t>(section_count) * kSectionHeaderBytes)) return false;
  for (uint16_t i = 0; i < section_count; ++i) {
    const size_t header = table + i * kSectionHeaderBytes;
    Section section{};
    file.U32(header + 8, &section.virtual_size);
    file.U32(header + 12, &section.virtual_address);
    file.U32(header + 16, &section.raw_size);
    file.U32(header + 20, &section.raw_offset);
    sections_.push_back(section);
  }

  if (resource_rva == 0 || resource_size == 0) return true;  // a module without resources
  // The directory's offsets may reach anywhere in its section, so the view runs to the end of
  // the section's bytes rather than to the directory's declared size.
  size_t offset = 0;
  size_t available = 0;
  return Locate(resource_rva, &offset, &available) && file.Sub(offset, available, &resources_);
}

bool PeResourceImage::Locate(uint32_t rva, size_t* file_offset, size_t* available) const {
  const ByteView file(bytes_);
  for (const Section& section : sections_) {
    if (rva < section.virtual_address) continue;
    const uint32_t into = rva - section.virtual_address;
    // Only bytes both mapped and present in the file count; padding past either is not data.
    const uint32_t extent =
        section.virtual_size ? std::min(section.virtual_size, section.raw_size) : section.raw_size;
    if (into >= extent) continue;
    const size_t offset = static_cast<size_t>(section.raw_offset) + into;
    if (offset >= file.size()) return false;
    *file_offset = offset;
    *available = std::min<size_t>(extent - into, file.size() - offset);
    return true;
  }
  return false;
}

bool PeResourceImage::RvaToFile(uint32_t rva, uint32_t length, size_t* file_offset) const {
  size_t available = 0;
  return Locate(rva, file_offset, &available) && length <= available;
}

bool PeResourceImage::NameMatches(uint32_t name_offset, const std::string& name) const {
  uint16_t length = 0;
  if (!resources_.U16(name_offset, &length) || length != name.size()) return false;
  for (uint16_t i = 0; i < length; ++i) {
    uint16_t unit = 0;
    if (!resources_.U16(name_offset + 2 + 2u * i, &unit) || unit > 0x7F) return false;
    if (UpperAscii(static_cast<char>(unit)) != UpperAscii(name[i])) return false;
  }
  return true;
}

bool PeResourceImage::DirectoryEntries(uint32_t directory, size_t* first, size_t* count) const {
  uint16_t named = 0;
  uint16_t numbered = 0;
  if (!resources_.U16(directory + 12, &named) || !resources_.U16(directory + 14, &numbered)) {
    return false;
  }
  *first = static_cast<size_t>(directory) + kDirectoryHeaderBytes;
  *count = static_cast<size_t>(named) + numbered;
  return resources_.Contains(*first, *count * kDirectoryEntryBytes);
}

bool PeResourceImage::FindEntry(uint32_t directory, uint16_t id, const std::string* name,
                                uint32_t* target, bool* is_directory) const {
  size_t first = 0;
  size_t count = 0;
  if (!DirectoryEntries(directory, &first, &count)) return false;
  for (size_t i = 0; i < count; ++i) {
    uint32_t name_field = 0;
    uint32_t data_field = 0;
    resources_.U32(first + i * kDirectoryEntryBytes, &name_field);
    resources_.U32(first + i * kDirectoryEntryBytes + 4, &data_field);
    const bool entry_named = (name_field & kHighBit) != 0;
    const bool matches = name ? (entry_named && NameMatches(name_field & ~kHighBit, *name))
                              : (!entry_named && name_field == id);
    if (!matches) continue;
    *target = data_field & ~kHighBit;
    *is_directory = (data_field & kHighBit) != 0;
    return true;
  }
  return false;
}

bool PeResourceImage::FirstLeaf(uint32_t type_directory, uint16_t id, Leaf* leaf) const {
  uint32_t languages = 0;
  bool is_directory = false;
  if (!FindEntry(type_directory, id, nullptr, &languages, &is_directory) || !is_directory) {
    return false;
  }
  uint16_t named = 0;
  uint16_t numbered = 0;
  if (!resources_.U16(languages + 12, &named) || !resources_.U16(languages + 14, &numbered) ||
      named + numbered == 0) {
    return false;
  }
  const size_t entry = static_cast<size_t>(languages) + kDirectoryHeaderBytes;
  uint32_t language_field = 0;
  uint32_t data_field = 0;
  if (!resources_.U32(entry, &language_field) || !resources_.U32(entry + 4, &data_field)) {
    return false;
  }
  // The third level holds data entries only; a directory here is a malformed (or looping) file.
  if ((data_field & kHighBit) != 0) return false;
  if (!resources_.Contains(data_field, kDataEntryBytes)) return false;
  leaf->data_entry = data_field;
  leaf->language = (language_field & kHighBit) ? 0 : static_cast<uint16_t>(language_field);
  return true;
}

bool PeResourceImage::FindLeaf(uint16_t type, const std::string* type_name, uint16_t id,
                               Leaf* leaf) const {
  if (resources_.size() == 0) return false;
  uint32_t type_directory = 0;
  bool is_directory = false;
  if (!FindEntry(0, type, type_name, &type_directory, &is_directory) || !is_directory) {
    return false;
  }
  return FirstLeaf(type_directory, id, leaf);
}

bool PeResourceImage::LeafBytes(const Leaf& leaf, std::vector<uint8_t>* bytes) const {
  uint32_t rva = 0;
  uint32_t size = 0;
  if (!resources_.U32(leaf.data_entry, &rva) || !resources_.U32(leaf.data_entry + 4, &size)) {
    return false;
  }
  size_t offset = 0;
  if (!RvaToFile(rva, size, &offset)) return false;
  return ByteView(bytes_).Copy(offset, size, bytes);
}

bool PeResourceImage::Resource(uint16_t type, uint16_t id, std::vector<uint8_t>* bytes) const {
  Leaf leaf{};
  return FindLeaf(type, nullptr, id, &leaf) && LeafBytes(leaf, bytes);
}

bool PeResourceImage::NamedTypeResource(const std::string& type, uint16_t id,
                                        std::vector<uint8_t>* bytes) const {
  Leaf leaf{};
  return FindLeaf(0, &type, id, &leaf) && LeafBytes(leaf, bytes);
}

bool PeResourceImage::ResourceLanguage(uint16_t type, uint16_t id, uint16_t* language) const {
  Leaf leaf{};
  if (!FindLeaf(type, nullptr, id, &leaf)) return false;
  *language = leaf.language;
  return true;
}

std::vector<uint16_t> PeResourceImage::ResourceIds(uint16_t type) const {
  std::vector<uint16_t> ids;
  uint32_t directory = 0;
  bool is_directory = false;
  if (resources_.size() == 0 || !FindEntry(0, type, nullptr, &directory, &is_directory) ||
      !is_directory) {
    return ids;
  }
  size_t first = 0;
  size_t count = 0;
  if (!DirectoryEntries(directory, &first, &count)) return ids;
  for (size_t i = 0; i < count; ++i) {
    uint32_t name_field = 0;
    resources_.U32(first + i * kDirectoryEntryBytes, &name_field);
    if ((name_field & kHighBit) == 0 && name_field <= 0xFFFF) {
      ids.push_back(static_cast<uint16_t>(name_field));
    }
  }
  return ids;
}

}  // namespace qdw::resources
