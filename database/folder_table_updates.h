// CDataBase: brings the folder table of the installed product's database in line with the
// shares after a restore, and tells whether shared folders exist before one. Each operation
// opens its own connection to the live database and closes it before returning; the updating
// ones run all their statements in one transaction, so a failure leaves the table unchanged.
#ifndef QDW_DATABASE_FOLDER_TABLE_UPDATES_H_
#define QDW_DATABASE_FOLDER_TABLE_UPDATES_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/database.h"

namespace qdw::database {

using StringList = std::vector<std::string>;
// Reads the current user's repository path; false when it cannot be read.
using RepositoryPathReader = std::function<bool(std::string* path)>;

class CDataBase {
 public:
  CDataBase(platform::Databases& databases, RepositoryPathReader read_repository_path);

  // Renames folder rows and rewrites their paths from the old share names and paths to the
  // new ones (lists of equal length). True when committed.
  bool RenameFolderRecords(const StringList& old_names, const StringList& old_paths,
                           const StringList& new_names, const StringList& new_paths);
  // Turns the shared folders whose share path lies inside the repository back into plain
  // folders; `outside` receives the names of the others. True when committed.
  bool UnshareFolderRecords(const StringList& names, const StringList& paths, StringList* outside);
  // Ids of the shared folders (share type other than 1) and of all folders below them. On
  // failure `ids` is left as it was.
  bool ListSharedFolderTree(StringList* ids);
  // Deletes the folders ListSharedFolderTree names, with their documents, binders and merged
  // parts. True when committed.
  bool DeleteSharedFolderRecords();

 private:
  // Opens the live database; null when the repository path or the database is unusable.
  std::unique_ptr<platform::DatabaseConnection> Connect(std::string* repository_path);
  // Runs `statements` in one transaction; rolls back and returns false at the first failure.
  bool RunInTransaction(const StringList& statements);

  platform::Databases& databases_;
  RepositoryPathReader read_repository_path_;
};

}  // namespace qdw::database

#endif  // QDW_DATABASE_FOLDER_TABLE_UPDATES_H_
