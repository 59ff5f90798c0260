// Reads the resources of a Windows module (PE/COFF image: DLL or EXE, 32 or 64 bit) straight
// from its file, without loading it: how the stand-in machine serves "Lingvault.dll".
#ifndef QDW_PLATFORM_RESOURCES_PE_RESOURCE_IMAGE_H_
#define QDW_PLATFORM_RESOURCES_PE_RESOURCE_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources/byte_view.h"

namespace qdw::resources {

// The whole file is kept in memory; lookups walk the resource directory (type, then name, then
// language) on every call. The file is untrusted: every offset is checked, the walk never goes
// deeper than the three levels of the format, and a malformed entry makes the lookup fail.
class PeResourceImage {
 public:
  // Reads and checks the file at a host path. Null when it cannot be read or is not a PE image;
  // an image without resources opens, and then finds nothing.
  static std::unique_ptr<PeResourceImage> Open(const std::string& host_path);
  // The same from bytes already in memory.
  static std::unique_ptr<PeResourceImage> FromBytes(std::vector<uint8_t> bytes);

  PeResourceImage(const PeResourceImage&) = delete;
  PeResourceImage& operator=(const PeResourceImage&) = delete;

  // Raw bytes of a resource by numeric type and id; the first language listed wins.
  bool Resource(uint16_t type, uint16_t id, std::vector<uint8_t>* bytes) const;
  // Raw bytes of a resource whose type is a name, such as "AVI" (compared ignoring ASCII case,
  // as the system does).
  bool NamedTypeResource(const std::string& type, uint16_t id, std::vector<uint8_t>* bytes) const;
  // Language id (for example 0x0409) of the resource the lookups above return; false if missing.
  bool ResourceLanguage(uint16_t type, uint16_t id, uint16_t* language) const;
  // Numeric ids of the resources of one numeric type, in directory order (named ones skipped).
  std::vector<uint16_t> ResourceIds(uint16_t type) const;

 private:
  struct Section {
    uint32_t virtual_address;
    uint32_t virtual_size;
    uint32_t raw_offset;
    uint32_t raw_size;
  };
  // A found leaf: the data entry's place in the resource section and its language.
  struct Leaf {
    uint32_t data_entry;
    uint16_t language;
  };

  explicit PeResourceImage(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool ParseHeaders();
  // Place in the file of an address relative to the image base, and how many bytes of its
  // section follow it there.
  bool Locate(uint32_t rva, size_t* file_offset, size_t* available) const;
  // The same, when length bytes must be there.
  bool RvaToFile(uint32_t rva, uint32_t length, size_t* file_offset) const;
  // Where the entries of `directory` start and how many there are; false unless they all lie
  // inside the resource data.
  bool DirectoryEntries(uint32_t directory, size_t* first, size_t* count) const;
  // Finds the entry of a directory matching an id (or a name when name is non-null); gives the
  // offset (in the resource section) it points to and whether that is a subdirectory.
  bool FindEntry(uint32_t directory, uint16_t id, const std::string* name, uint32_t* target,
                 bool* is_directory) const;
  bool FirstLeaf(uint32_t type_directory, uint16_t id, Leaf* leaf) const;
  bool FindLeaf(uint16_t type, const std::string* type_name, uint16_t id, Leaf* leaf) const;
  bool LeafBytes(const Leaf& leaf, std::vector<uint8_t>* bytes) const;
  bool NameMatches(uint32_t name_offset, const std::string& name) const;

  std::vector<uint8_t> bytes_;
  std::vector<Section> sections_;
  // The resource directory and what follows it in its section; points into bytes_, which never
  // changes after construction.
  ByteView resources_;
};

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_PE_RESOURCE_IMAGE_H_
