// A loaded-module stand-in over a resource image, the way the stand-in machine serves
// "Lingvault.dll" to the program.
#ifndef QDW_TESTS_PLATFORM_RESOURCES_MODULE_LIBRARY_H_
#define QDW_TESTS_PLATFORM_RESOURCES_MODULE_LIBRARY_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/resources/pe_resource_image.h"

namespace qdw::resources::testing {

class ImageLibrary : public platform::Library {
 public:
  explicit ImageLibrary(std::unique_ptr<PeResourceImage> image) : image_(std::move(image)) {}

  void* Symbol(const std::string&) const override { return nullptr; }
  bool Resource(uint16_t type, uint16_t id, std::vector<uint8_t>* bytes) const override {
    return image_->Resource(type, id, bytes);
  }
  bool NamedTypeResource(const std::string& type, uint16_t id,
                         std::vector<uint8_t>* bytes) const override {
    return image_->NamedTypeResource(type, id, bytes);
  }
  const PeResourceImage& image() const { return *image_; }

 private:
  std::unique_ptr<PeResourceImage> image_;
};

}  // namespace qdw::resources::testing

#endif  // QDW_TESTS_PLATFORM_RESOURCES_MODULE_LIBRARY_H_
