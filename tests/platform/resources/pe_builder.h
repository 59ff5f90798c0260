// Builds small PE images with a resource section, so that the reader can be fed well-formed
// modules and, by patching them, hostile ones.
#ifndef QDW_TESTS_PLATFORM_RESOURCES_PE_BUILDER_H_
#define QDW_TESTS_PLATFORM_RESOURCES_PE_BUILDER_H_

#include <cstdint>
#include <string>
#include <vector>

namespace qdw::resources::testing {

struct TestResource {
  uint16_t type = 0;      // numeric type, when type_name is empty
  std::string type_name;  // named type such as "AVI"
  uint16_t id = 0;
  uint16_t language = 0x0409;
  std::vector<uint8_t> data;
};

// File offset of the resource section in a built image; directory offsets count from here.
inline constexpr size_t kResourceSectionOffset = 0x200;
// Address of the resource section relative to the image base.
inline constexpr uint32_t kResourceSectionRva = 0x1000;

// A 64-bit DLL image with one ".rsrc" section holding the resources. With one resource the
// section reads: root directory at 0, type directory at 24, language directory at 48, data
// entry at 72, names (if any) after, then the data.
std::vector<uint8_t> BuildPeImage(const std::vector<TestResource>& resources);

void Patch32(std::vector<uint8_t>* image, size_t offset, uint32_t value);
void Patch16(std::vector<uint8_t>* image, size_t offset, uint16_t value);

}  // namespace qdw::resources::testing

#endif  // QDW_TESTS_PLATFORM_RESOURCES_PE_BUILDER_H_
