// The product database's tables (database/schema.sql) and the creation of an empty database.
#ifndef QDW_DATABASE_PRODUCT_SCHEMA_H_
#define QDW_DATABASE_PRODUCT_SCHEMA_H_

#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/file_system.h"

namespace qdw::database {

// The text of database/schema.sql.
const char* SchemaSql();
// Its statements in order, without comments or the closing ";".
std::vector<std::string> SchemaStatements();

// Creates the product database at `database_path`, whose folder must exist and where no file
// may be yet: an empty file made through `files`, then every table through a connection of
// `databases`. On failure the file is removed again and `error` says why.
bool CreateProductDatabase(platform::FileSystem& files, platform::Databases& databases,
                           const std::string& database_path, std::string* error);

}  // namespace qdw::database

#endif  // QDW_DATABASE_PRODUCT_SCHEMA_H_
