// Backups are packed with the archive writer library's Compress.
#include "app/archive_packer_factory.h"
#include "engine/backup/compress_packer.h"

namespace qdw::app {

std::unique_ptr<backup::ArchivePacker> MakeArchivePacker() {
  return std::make_unique<backup::CompressPacker>();
}

}  // namespace qdw::app
