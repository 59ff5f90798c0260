#include "database/record_cleanup.h"

#include <memory>
#include <utility>
#include <vector>

#include "database/database_paths.h"
#include "database/folder_location.h"
#include "database/process_connection.h"
#include "database/record_rows.h"
#include "database/sql_text.h"
#include "platform/windows_path.h"

namespace qdw::database {
namespace {

const std::vector<std::string> kDocumentColumns = {
    "id",      "folder__id", "pdf_name",   "original_file_name", "original_file_extension",
    "is_open", "merged",     "binder__id", "total_versions"};

bool IsLockedOrMerged(const Row& row) {
  return row.at("is_open") == "1" || row.at("merged") == "1";
}

// Ids of the rows named `base_name` that are open or merged, in the driver's order. The
// whole list is read before anything is deleted. False on a database error; the ids read
// until then are kept.
bool FindLockedDocuments(platform::DatabaseConnection& connection, const std::string& base_name,
                         std::vector<std::string>* ids) {
  std::unique_ptr<platform::RecordSet> records;
  if (!connection.Query("SELECT * FROM qln_file_properties", /*read_only=*/false, &records) ||
      !records) {
    return false;
  }
  for (const char* column : {"id", "pdf_name", "is_open", "merged"}) {
    if (!records->HasColumn(column)) return false;
  }
  while (records->Fetch()) {
    if (records->Value("pdf_name").value_or("") != base_name) continue;
    Row row;
    for (const char* column : {"id", "is_open", "merged"}) {
      row[column] = records->Value(column).value_or("");
    }
    if (IsLockedOrMerged(row)) ids->push_back(row["id"]);
  }
  return records->LastError().empty();
}

// Whether the folder the chain of folder rows names (a path relative to the working root,
// or the directory itself for the root folder) is `directory`.
bool IsFolderOf(const std::string& directory, const std::string& relative_path) {
  if (relative_path.empty()) return false;
  return platform::EqualsIgnoreCase(directory, relative_path) ||
         platform::EndsWithIgnoreCase(directory, "\\" + relative_path);
}

}  // namespace

RecordCleanup::RecordCleanup(platform::FileSystem& files, platform::Databases& databases,
                             const std::string& working_root, MergedFolderList& merged_folders,
                             TreeRemover remove_tree)
    : files_(files, std::move(remove_tree)),
      databases_(databases),
      working_root_(working_root),
      merged_folders_(merged_folders) {}

bool RecordCleanup::RemoveLockedDocument(std::string directory, std::string base_name) {
  const std::string stem = platform::JoinPath(directory, base_name);
  files_.RemoveFolderIfPresent(stem + "$#");
  for (const char* extension : kCompanionExtensions) {
    files_.DeleteFileIfPresent(stem + extension);
  }
  PurgeLockedDocumentRecords(directory, working_root_, base_name);
  return true;
}

void RecordCleanup::PurgeLockedDocumentRecords(std::string directory, std::string working_root,
                                               std::string base_name) {
  const std::string database_path = DatabasePathUnder(working_root);
  if (!files_.FileExists(database_path)) return;
  ScopedProcessConnection scope(databases_, database_path);
  if (!scope.ok()) return;
  platform::DatabaseConnection& connection = scope.connection();

  // A read error ends the scan; the documents read before it are still purged.
  std::vector<std::string> ids;
  FindLockedDocuments(connection, base_name, &ids);
  for (const std::string& id : ids) {
    if (!PurgeDocument(connection, directory, id)) return;
  }
}

bool RecordCleanup::PurgeDocument(platform::DatabaseConnection& connection,
                                  const std::string& directory, const std::string& document_id) {
  if (!IsIntegerText(document_id)) return false;
  Row row;
  // An earlier document's merged parts may have taken this row with them.
  if (!FetchFirstRow(connection, "SELECT * FROM qln_file_properties WHERE id = " + document_id,
                     kDocumentColumns, &row)) {
    return true;
  }
  if (!IsLockedOrMerged(row)) return true;
  const bool merged = row["merged"] == "1";
  const std::string& folder_id = row["folder__id"];
  const std::string& pdf_name = row["pdf_name"];
  const std::string& name = row["original_file_name"];
  const std::string& extension = row["original_file_extension"];

  FolderLocation location = LocateFolder(connection, folder_id, directory);
  // Its files are in the archive and it is not the locked one: its rows must stay with them.
  if (location.resolved && !IsFolderOf(directory, location.relative_path)) return true;
  if (merged) merged_folders_.Append(folder_id, name.empty() ? pdf_name : name);

  // The file is removed only when the folder chain leads to this directory; an unresolved
  // chain keeps the file but still drops the rows.
  if (location.resolved && platform::EqualsIgnoreCase(location.share_type, "0") &&
      platform::ContainsIgnoreCase(directory, location.relative_path)) {
    files_.DeleteFileIfPresent(name.empty()
                                   ? platform::JoinPath(directory, pdf_name) + ".pdf"
                                   : platform::JoinPath(directory, name) + "." + extension);
  }

  const std::string& binder_id = row["binder__id"];
  const long versions = DecimalValue(row["total_versions"]);
  if (merged) PurgeMergedParts(document_id, directory, name, extension);
  if (binder_id != "0") DecrementBinderCount(binder_id);
  if (versions > 0) {
    PurgeFileVersions(versions, document_id, directory, name.empty() ? pdf_name : name, extension);
  }
  return connection.Execute("DELETE FROM qln_file_properties WHERE id =" + document_id);
}

}  // namespace qdw::database
