#include "database/folder_table_updates.h"

#include <utility>

#include "database/database_paths.h"
#include "database/record_rows.h"
#include "database/shared_folder_tree.h"
#include "database/sql_text.h"
#include "platform/windows_path.h"

namespace qdw::database {

CDataBase::CDataBase(platform::Databases& databases, RepositoryPathReader read_repository_path)
    : databases_(databases), read_repository_path_(std::move(read_repository_path)) {}

std::unique_ptr<platform::DatabaseConnection> CDataBase::Connect(std::string* repository_path) {
  repository_path->clear();
  if (!read_repository_path_ || !read_repository_path_(repository_path)) repository_path->clear();
  // Without a repository path the database path would be relative to whatever folder is
  // current; refuse it instead.
  if (repository_path->empty()) return nullptr;
  std::unique_ptr<platform::DatabaseConnection> connection = databases_.NewConnection();
  if (!connection ||
      !connection->Open(AccessConnectString(LiveDatabasePath(*repository_path)),
                        /*exclusive=*/false, /*read_only=*/false, /*use_cursor_library=*/false)) {
    return nullptr;
  }
  return connection;
}

bool CDataBase::RunInTransaction(const StringList& statements) {
  std::string repository_path;
  std::unique_ptr<platform::DatabaseConnection> connection = Connect(&repository_path);
  if (!connection) return false;
  if (!connection->BeginTransaction()) {
    connection->Close();
    return false;
  }
  for (const std::string& statement : statements) {
    if (!connection->Execute(statement)) {
      connection->Rollback();
      connection->Close();
      return false;
    }
  }
  const bool committed = connection->Commit();
  if (!committed) connection->Rollback();
  connection->Close();
  return committed;
}

bool CDataBase::RenameFolderRecords(const StringList& old_names, const StringList& old_paths,
                                    const StringList& new_names, const StringList& new_paths) {
  const size_t count = old_names.size();
  if (old_paths.size() < count || new_names.size() < count || new_paths.size() < count) {
    return false;
  }
  StringList statements;
  for (size_t i = 0; i < count; ++i) {
    statements.push_back("UPDATE qln_folder SET name=" + SqlString(new_names[i]) +
                         " where name=" + SqlString(old_names[i]) + " and share_type=0");
    statements.push_back("UPDATE qln_folder SET path=" + SqlString(new_paths[i]) +
                         " where path=" + SqlString(old_paths[i]) + " and share_type=0");
  }
  for (size_t i = 0; i < count; ++i) {
    statements.push_back("UPDATE qln_folder SET path=" + SqlString(new_paths[i]) +
                         " where name=" + SqlString(new_names[i]) + " and shared=Yes");
  }
  return RunInTransaction(statements);
}

bool CDataBase::UnshareFolderRecords(const StringList& names, const StringList& paths,
                                     StringList* outside) {
  outside->clear();
  if (paths.size() < names.size()) return false;
  std::string repository_path;
  if (!read_repository_path_ || !read_repository_path_(&repository_path)) {
    repository_path.clear();
  }
  StringList statements;
  for (size_t i = 0; i < names.size(); ++i) {
    // An empty repository path would count every share as inside; such a run fails at the
    // connection below anyway.
    if (!repository_path.empty() && platform::ContainsIgnoreCase(paths[i], repository_path)) {
      statements.push_back("UPDATE qln_folder SET path=" + SqlString(names[i]) +
                           " , shared=No, share_type=-1, IsShareCreator =No where name=" +
                           SqlString(names[i]) + " and shared=Yes");
    } else {
      outside->push_back(names[i]);
    }
  }
  return RunInTransaction(statements);
}

bool CDataBase::ListSharedFolderTree(StringList* ids) {
  std::string repository_path;
  std::unique_ptr<platform::DatabaseConnection> connection = Connect(&repository_path);
  if (!connection) return false;
  std::vector<Row> rows;
  const bool read = FetchRows(*connection, "SELECT * FROM qln_folder", /*read_only=*/true,
                              {"parent_folder__id", "shared", "id", "share_type"}, &rows);
  connection->Close();
  if (!read) return false;
  std::vector<FolderRow> folders;
  folders.reserve(rows.size());
  for (Row& row : rows) {
    folders.push_back({CanonicalDecimal(row["id"]), CanonicalDecimal(row["parent_folder__id"]),
                       CanonicalFlag(row["shared"]), CanonicalDecimal(row["share_type"])});
  }
  *ids = SharedFolderTree(folders);
  return true;
}

bool CDataBase::DeleteSharedFolderRecords() {
  StringList ids;
  if (!ListSharedFolderTree(&ids)) return false;
  StringList statements;
  for (const std::string& id : ids) {
    // Only plain numbers are pasted into the statements unquoted.
    if (!IsIntegerText(id)) return false;
    statements.push_back("Delete FROM qln_folder where id=" + id);
    statements.push_back("Delete FROM qln_file_properties where folder__id=" + id);
    statements.push_back("Delete FROM qln_binder where folder__id=" + id);
    statements.push_back("Delete FROM qln_merged_files where folder__id=" + id);
  }
  return RunInTransaction(statements);
}

}  // namespace qdw::database
