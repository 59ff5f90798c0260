#include "database/product_schema.h"

#include <memory>
#include <sstream>

#include "database/database_paths.h"

namespace qdw::database {
namespace {

const char kSchemaSql[] =
#include "database/schema_sql.inc"
    ;

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool Fail(const std::string& why, std::string* error) {
  if (error) *error = why;
  return false;
}

}  // namespace

const char* SchemaSql() { return kSchemaSql; }

std::vector<std::string> SchemaStatements() {
  std::vector<std::string> statements;
  std::istringstream lines(kSchemaSql);
  std::string line;
  std::string current;
  while (std::getline(lines, line)) {
    if (Trim(line).rfind("--", 0) == 0) continue;
    current += line + "\n";
    if (!Trim(line).empty() && Trim(line).back() == ';') {
      std::string statement = Trim(current);
      statement.pop_back();
      statements.push_back(Trim(statement));
      current.clear();
    }
  }
  if (!Trim(current).empty()) statements.push_back(Trim(current));
  return statements;
}

bool CreateProductDatabase(platform::FileSystem& files, platform::Databases& databases,
                           const std::string& database_path, std::string* error) {
  std::unique_ptr<platform::File> file;
  platform::WinError created =
      files.Open(database_path, platform::kGenericWrite, platform::kShareNone,
                 platform::Disposition::kCreateNew, platform::kAttrNormal, &file);
  if (created != platform::kSuccess) {
    return Fail("cannot create " + database_path + " (error " + std::to_string(created) + ")",
                error);
  }
  file.reset();

  std::unique_ptr<platform::DatabaseConnection> connection = databases.NewConnection();
  std::string failure;
  if (!connection || !connection->Open(AccessConnectString(database_path), /*exclusive=*/false,
                                       /*read_only=*/false, /*use_cursor_library=*/false)) {
    failure = "cannot open " + database_path + ": " + (connection ? connection->LastError() : "");
  } else {
    for (const std::string& statement : SchemaStatements()) {
      if (!connection->Execute(statement)) {
        failure = "schema statement failed: " + connection->LastError();
        break;
      }
    }
    connection->Close();
  }
  if (failure.empty()) return true;
  files.Delete(database_path);
  return Fail(failure, error);
}

}  // namespace qdw::database
