// A build without the archive writer library: every backup fails at the packing step with
// the writer's "cannot create the cabinet" result, never with a silent success.
#include "app/archive_packer_factory.h"

namespace qdw::app {

namespace {

class MissingPacker : public backup::ArchivePacker {
 public:
  int Pack(const std::string&, const std::string&, std::string* last_volume_name) override {
    last_volume_name->clear();
    return backup::kPackCannotCreateCabinet;
  }
};

}  // namespace

std::unique_ptr<backup::ArchivePacker> MakeArchivePacker() {
  return std::make_unique<MissingPacker>();
}

}  // namespace qdw::app
