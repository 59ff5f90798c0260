// Where the product database lies and how the tool connects to it.
#ifndef QDW_DATABASE_DATABASE_PATHS_H_
#define QDW_DATABASE_DATABASE_PATHS_H_

#include <string>

namespace qdw::database {

inline constexpr char kDatabaseFolderName[] = "DataBase";
inline constexpr char kDatabaseFileName[] = "VNDATABASE.mdb";
inline constexpr char kAccessDriverName[] = "MICROSOFT ACCESS DRIVER (*.mdb)";
// The live database below the user's repository path (folder names as the product spells
// them here; paths compare ignoring case).
inline constexpr char kLiveDatabaseSuffix[] = "\\VARNOLD\\QDW\\DATABASE\\VNDATABASE.mdb";

// root + "\DataBase\VNDATABASE.mdb": the database of a "QDW" folder or of its working copy.
std::string DatabasePathUnder(const std::string& root);

// The live database of the installed product for a repository path.
std::string LiveDatabasePath(const std::string& repository_path);

// "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + path.
std::string AccessConnectString(const std::string& database_path);

}  // namespace qdw::database

#endif  // QDW_DATABASE_DATABASE_PATHS_H_
