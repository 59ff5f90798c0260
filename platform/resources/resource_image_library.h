// A Windows image opened for its resources, presented as a loaded platform::Library that
// exports nothing callable (the resource module on hosts that cannot run its code).
#ifndef QDW_PLATFORM_RESOURCES_RESOURCE_IMAGE_LIBRARY_H_
#define QDW_PLATFORM_RESOURCES_RESOURCE_IMAGE_LIBRARY_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/resources/pe_resource_image.h"

namespace qdw::resources {

class ResourceImageLibrary : public platform::Library {
 public:
  explicit ResourceImageLibrary(std::unique_ptr<PeResourceImage> image)
      : image_(std::move(image)) {}
  void* Symbol(const std::string&) const override { return nullptr; }
  bool Resource(uint16_t type, uint16_t id, std::vector<uint8_t>* bytes) const override {
    return image_->Resource(type, id, bytes);
  }
  bool NamedTypeResource(const std::string& type, uint16_t id,
                         std::vector<uint8_t>* bytes) const override {
    return image_->NamedTypeResource(type, id, bytes);
  }

 private:
  std::unique_ptr<PeResourceImage> image_;
};

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_RESOURCE_IMAGE_LIBRARY_H_
