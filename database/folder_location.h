// Where a document's folder lies in the repository, worked out from the folder table by
// walking the parent chain up to the top-level folder (the one whose parent id is "1").
#ifndef QDW_DATABASE_FOLDER_LOCATION_H_
#define QDW_DATABASE_FOLDER_LOCATION_H_

#include <string>

#include "platform/database.h"

namespace qdw::database {

struct FolderLocation {
  // False when the chain is broken: a missing row, an id that is not a number, or a cycle.
  bool resolved = false;
  // The folder names from the top-level folder down ("Projects\2024\Offers"); for a
  // top-level folder its name; for a root folder (parent "0") the caller's directory.
  std::string relative_path;
  // share_type of the top-level folder (of the folder itself for top-level and root folders).
  std::string share_type;
};

// `directory` is the working-copy directory that held the locked file.
FolderLocation LocateFolder(platform::DatabaseConnection& connection, const std::string& folder_id,
                            const std::string& directory);

}  // namespace qdw::database

#endif  // QDW_DATABASE_FOLDER_LOCATION_H_
