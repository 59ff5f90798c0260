// Hand-built cabinets for the bad-input tests: every field can be set, offsets are computed
// unless overridden, and the result can be patched afterwards.
#ifndef QDW_TESTS_CABINET_CAB_CRAFTER_H_
#define QDW_TESTS_CABINET_CAB_CRAFTER_H_

#include <cstdint>
#include <string>
#include <vector>

namespace qdw::cab::testing {

struct CraftBlock {
  std::string payload;
  uint16_t cb_uncomp = 0;
  bool with_checksum = true;
};

struct CraftFolder {
  uint16_t type = 1;
  std::vector<CraftBlock> blocks;
};

struct CraftFile {
  std::string name;
  uint32_t size = 0;
  uint32_t offset = 0;
  uint16_t folder = 0;
  uint16_t attribs = 0x20;
};

struct CraftCabinet {
  uint8_t version_major = 1;
  uint16_t set_id = 1;
  uint16_t index = 0;
  std::string prev_cabinet;  // links are written when non-empty
  std::string prev_disk = "DISK0";
  std::string next_cabinet;
  std::string next_disk = "DISK2";
  std::vector<CraftFolder> folders;
  std::vector<CraftFile> files;
};

// The CFDATA checksum written from the format's description, apart from the engine's own.
uint32_t ReferenceChecksum(const std::string& payload, uint16_t cb_uncomp);

// "CK" + a raw deflate stream of `data` without history.
std::string MszipPayload(const std::string& data);

// A cabinet holding `files` back to back in one MSZIP folder.
CraftCabinet SimpleCabinet(const std::vector<std::pair<std::string, std::string>>& files);

std::string Craft(const CraftCabinet& cabinet);

// Offsets inside a crafted single-volume cabinet without links.
inline constexpr size_t kFirstFolderOffset = 36;

void PatchU16(std::string* bytes, size_t offset, uint16_t value);
void PatchU32(std::string* bytes, size_t offset, uint32_t value);
uint32_t ReadU32(const std::string& bytes, size_t offset);

}  // namespace qdw::cab::testing

#endif  // QDW_TESTS_CABINET_CAB_CRAFTER_H_
