#include "database/database_paths.h"

namespace qdw::database {

std::string DatabasePathUnder(const std::string& root) {
  return root + "\\" + kDatabaseFolderName + "\\" + kDatabaseFileName;
}

std::string LiveDatabasePath(const std::string& repository_path) {
  return repository_path + kLiveDatabaseSuffix;
}

std::string AccessConnectString(const std::string& database_path) {
  return std::string("ODBC;DRIVER={") + kAccessDriverName + "};DSN='';DBQ=" + database_path;
}

}  // namespace qdw::database
