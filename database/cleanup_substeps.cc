// The three sub-steps of the record cleanup: merged parts, binder counts and versions.
#include <string>
#include <utility>
#include <vector>

#include "database/process_connection.h"
#include "database/record_cleanup.h"
#include "database/record_rows.h"
#include "database/sql_text.h"
#include "platform/windows_path.h"

namespace qdw::database {
namespace {

// Marker a merged PDF part may carry in its name.
constexpr char kPartMarker[] = "$_#";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

bool RecordCleanup::PurgeMergedParts(std::string document_id, std::string directory,
                                     std::string name, std::string extension) {
  (void)document_id;  // replaced by the id of each matching row below
  (void)extension;
  ProcessConnection& process = ProcessConnection::Instance();
  if (!process.IsOpen()) return false;
  platform::DatabaseConnection& connection = process.connection();

  // Part documents deleted by name, each with the folder it was met in.
  std::vector<std::pair<std::string, std::string>> removed_names;
  const size_t entries = merged_folders_.size();
  for (size_t k = 0; k < entries; ++k) {
    const std::string folder_id = merged_folders_.folder_ids[k];
    if (!IsIntegerText(folder_id)) return false;
    std::vector<Row> documents;
    if (!FetchRows(connection, "SELECT * FROM qln_file_properties WHERE folder__id = " + folder_id,
                   /*read_only=*/true, {"id", "original_file_name"}, &documents)) {
      return false;
    }
    for (const Row& document : documents) {
      if (document.at("original_file_name") != name) continue;
      const std::string& id = document.at("id");
      if (!IsIntegerText(id)) return false;
      std::vector<Row> parts;
      if (!FetchRows(
              connection, "SELECT * FROM qln_merged_files WHERE qln_file_properties__id = " + id,
              /*read_only=*/true, {"original_file_name", "original_file_extension"}, &parts)) {
        return false;
      }
      for (const Row& part : parts) {
        const std::string& part_name = part.at("original_file_name");
        const std::string part_extension = platform::LowerAnsi(part.at("original_file_extension"));
        std::string statement;
        if (part_extension != "pdf") {
          statement =
              "DELETE FROM qln_file_properties WHERE original_file_name =" + SqlString(part_name) +
              " AND id =" + id;
          removed_names.emplace_back(part_name, folder_id);
        } else {
          statement = "DELETE FROM qln_file_properties WHERE pdf_name =" +
                      SqlString(ReplaceAll(part_name, kPartMarker, "")) +
                      " AND folder__id =" + folder_id;
        }
        if (!connection.Execute(statement)) return false;
        // Both forms of the part's file: with the marker and with the marker dropped.
        const std::string file = platform::JoinPath(directory, part_name) + "." + part_extension;
        files_.DeleteFileIfPresent(file);
        const std::string marked = std::string(kPartMarker) + ".";
        if (file.find(marked) != std::string::npos) {
          files_.DeleteFileIfPresent(ReplaceAll(file, marked, "."));
        }
      }
      if (!connection.Execute("DELETE FROM qln_merged_files WHERE qln_file_properties__id = " +
                              id)) {
        return false;
      }
    }
  }
  for (const auto& [part_name, folder_id] : removed_names) {
    if (!connection.Execute("DELETE * FROM qln_file_properties WHERE original_file_name =" +
                            SqlString(part_name) + " AND folder__id = " + folder_id)) {
      return false;
    }
  }
  return true;
}

bool RecordCleanup::DecrementBinderCount(std::string binder_id) {
  ProcessConnection& process = ProcessConnection::Instance();
  if (!process.IsOpen() || !IsIntegerText(binder_id)) return false;
  platform::DatabaseConnection& connection = process.connection();
  Row binder;
  if (!FetchFirstRow(connection, "SELECT * FROM qln_binder WHERE id = " + binder_id,
                     {"total_files"}, &binder)) {
    return false;
  }
  const std::string& total = binder["total_files"];
  if (total == "0") return true;
  // A count that is not positive is left as it is rather than driven below zero.
  const long remaining = DecimalValue(total) - 1;
  if (remaining < 0) return true;
  if (remaining != 0) {
    return connection.Execute("UPDATE qln_binder SET total_files =" + std::to_string(remaining) +
                              " WHERE id =" + binder_id);
  }
  return connection.Execute("DELETE FROM qln_binder WHERE id =" + binder_id);
}

bool RecordCleanup::PurgeFileVersions(long version_count, std::string document_id,
                                      std::string directory, std::string name,
                                      std::string extension) {
  ProcessConnection& process = ProcessConnection::Instance();
  if (!process.IsOpen() || !IsIntegerText(document_id)) return false;
  platform::DatabaseConnection& connection = process.connection();
  std::vector<Row> versions;
  const bool read = FetchRows(
      connection, "SELECT * FROM qln_file_version WHERE file_properties__id = " + document_id,
      /*read_only=*/true, {"id"}, &versions, static_cast<size_t>(version_count));
  const std::string stem = name + "$#version";
  const std::string prefix = platform::JoinPath(directory, stem);
  for (const Row& version : versions) {
    const std::string& version_id = version.at("id");
    if (!IsIntegerText(version_id)) return false;
    files_.RemoveFolderIfPresent(prefix + version_id + "$#");
    files_.DeleteMatchingFiles(directory, stem + "*");
    files_.DeleteFileIfPresent(prefix + version_id + "." + extension);
    files_.DeleteFileIfPresent(prefix + version_id + ".pdf");
    files_.DeleteFileIfPresent(prefix + version_id + ".xml");
    if (!connection.Execute("DELETE FROM qln_file_version WHERE id =" + version_id)) {
      return false;
    }
  }
  // Fewer rows than the count: the step ends after the last one, as a failed read.
  return read && versions.size() == static_cast<size_t>(version_count);
}

}  // namespace qdw::database
