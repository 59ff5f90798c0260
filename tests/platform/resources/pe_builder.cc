#include "tests/platform/resources/pe_builder.h"

#include <map>
#include <tuple>

namespace qdw::resources::testing {
namespace {

void Put16(std::vector<uint8_t>* out, uint16_t value) {
  out->push_back(static_cast<uint8_t>(value));
  out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t value) {
  Put16(out, static_cast<uint16_t>(value));
  Put16(out, static_cast<uint16_t>(value >> 16));
}

void Directory(std::vector<uint8_t>* out, uint16_t named, uint16_t numbered) {
  Put32(out, 0);  // characteristics
  Put32(out, 0);  // time stamp
  Put32(out, 0);  // version
  Put16(out, named);
  Put16(out, numbered);
}

// The resource section: directories first, then the data entries, names and data, with the
// offsets filled in once known.
std::vector<uint8_t> ResourceSection(const std::vector<TestResource>& resources) {
  using TypeKey = std::tuple<bool, std::string, uint16_t>;  // numbered after named, as stored
  std::map<TypeKey, std::vector<const TestResource*>> types;
  for (const TestResource& r : resources) {
    types[TypeKey(r.type_name.empty(), r.type_name, r.type)].push_back(&r);
  }
  std::vector<uint8_t> out;
  uint16_t named_types = 0;
  for (const auto& entry : types) named_types += std::get<0>(entry.first) ? 0 : 1;
  Directory(&out, named_types, static_cast<uint16_t>(types.size() - named_types));
  std::vector<size_t> type_entries;
  for (size_t i = 0; i < types.size(); ++i) {
    type_entries.push_back(out.size());
    Put32(&out, 0);
    Put32(&out, 0);
  }
  struct Pending {
    size_t data_field;  // where the language entry points to its data entry
    const TestResource* resource;
  };
  std::vector<Pending> pending;
  std::vector<std::pair<size_t, std::string>> names;  // root entry field, name
  size_t type_index = 0;
  for (const auto& [key, list] : types) {
    const size_t root_entry = type_entries[type_index++];
    if (std::get<0>(key)) {
      Patch32(&out, root_entry, std::get<2>(key));
    } else {
      names.emplace_back(root_entry, std::get<1>(key));
    }
    Patch32(&out, root_entry + 4, 0x80000000u | static_cast<uint32_t>(out.size()));
    Directory(&out, 0, static_cast<uint16_t>(list.size()));
    const size_t id_entries = out.size();
    for (size_t i = 0; i < list.size(); ++i) {
      Put32(&out, list[i]->id);
      Put32(&out, 0);
    }
    for (size_t i = 0; i < list.size(); ++i) {
      Patch32(&out, id_entries + i * 8 + 4, 0x80000000u | static_cast<uint32_t>(out.size()));
      Directory(&out, 0, 1);
      Put32(&out, list[i]->language);
      pending.push_back({out.size(), list[i]});
      Put32(&out, 0);
    }
  }
  std::vector<size_t> data_entries;
  for (const Pending& p : pending) {
    Patch32(&out, p.data_field, static_cast<uint32_t>(out.size()));
    data_entries.push_back(out.size());
    for (int i = 0; i < 4; ++i) Put32(&out, 0);
  }
  for (const auto& [field, name] : names) {
    Patch32(&out, field, 0x80000000u | static_cast<uint32_t>(out.size()));
    Put16(&out, static_cast<uint16_t>(name.size()));
    for (char c : name) Put16(&out, static_cast<uint8_t>(c));
  }
  for (size_t i = 0; i < pending.size(); ++i) {
    while (out.size() % 4) out.push_back(0);
    Patch32(&out, data_entries[i], kResourceSectionRva + static_cast<uint32_t>(out.size()));
    Patch32(&out, data_entries[i] + 4, static_cast<uint32_t>(pending[i].resource->data.size()));
    out.insert(out.end(), pending[i].resource->data.begin(), pending[i].resource->data.end());
  }
  return out;
}

}  // namespace

void Patch32(std::vector<uint8_t>* image, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*image)[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Patch16(std::vector<uint8_t>* image, size_t offset, uint16_t value) {
  (*image)[offset] = static_cast<uint8_t>(value);
  (*image)[offset + 1] = static_cast<uint8_t>(value >> 8);
}

std::vector<uint8_t> BuildPeImage(const std::vector<TestResource>& resources) {
  const std::vector<uint8_t> section = ResourceSection(resources);
  const uint32_t raw_size = static_cast<uint32_t>((section.size() + 0x1FF) & ~size_t{0x1FF});
  std::vector<uint8_t> image(kResourceSectionOffset, 0);
  image[0] = 'M';
  image[1] = 'Z';
  Patch32(&image, 0x3C, 0x40);
  Patch32(&image, 0x40, 0x00004550);  // "PE\0\0"
  const size_t coff = 0x44;
  Patch16(&image, coff, 0x8664);       // x86-64
  Patch16(&image, coff + 2, 1);        // one section
  Patch16(&image, coff + 16, 240);     // optional header size
  Patch16(&image, coff + 18, 0x2022);  // executable DLL, large addresses
  const size_t optional = coff + 20;
  Patch16(&image, optional, 0x20B);     // PE32+
  Patch32(&image, optional + 108, 16);  // data directories
  Patch32(&image, optional + 112 + 16, kResourceSectionRva);
  Patch32(&image, optional + 112 + 20, static_cast<uint32_t>(section.size()));
  const size_t header = optional + 240;
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  for (int i = 0; i < 8; ++i) image[header + i] = static_cast<uint8_t>(name[i]);
  Patch32(&image, header + 8, static_cast<uint32_t>(section.size()));
  Patch32(&image, header + 12, kResourceSectionRva);
  Patch32(&image, header + 16, raw_size);
  Patch32(&image, header + 20, static_cast<uint32_t>(kResourceSectionOffset));
  image.insert(image.end(), section.begin(), section.end());
  image.resize(kResourceSectionOffset + raw_size, 0);
  return image;
}

}  // namespace qdw::resources::testing
