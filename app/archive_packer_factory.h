// The archive writer the program packs backups with; the build chooses the implementation.
#ifndef QDW_APP_ARCHIVE_PACKER_FACTORY_H_
#define QDW_APP_ARCHIVE_PACKER_FACTORY_H_

#include <memory>

#include "engine/backup/archive_packer.h"

namespace qdw::app {

std::unique_ptr<backup::ArchivePacker> MakeArchivePacker();

}  // namespace qdw::app

#endif  // QDW_APP_ARCHIVE_PACKER_FACTORY_H_
