#include "database/folder_location.h"

#include <set>
#include <vector>

#include "database/record_rows.h"
#include "database/sql_text.h"

namespace qdw::database {
namespace {

const std::vector<std::string> kFolderColumns = {"parent_folder__id", "name", "path", "share_type"};

bool ReadFolder(platform::DatabaseConnection& connection, const std::string& id, Row* row) {
  if (!IsIntegerText(id)) return false;
  return FetchFirstRow(connection, "SELECT * FROM qln_folder WHERE id = " + id, kFolderColumns,
                       row);
}

}  // namespace

FolderLocation LocateFolder(platform::DatabaseConnection& connection, const std::string& folder_id,
                            const std::string& directory) {
  FolderLocation location;
  Row folder;
  if (!ReadFolder(connection, folder_id, &folder)) return location;
  std::string parent = folder["parent_folder__id"];

  if (parent == "1") {
    location.relative_path = folder["name"];
    location.share_type = folder["share_type"];
    location.resolved = true;
    return location;
  }
  if (parent == "0") {
    // A root folder has no chain to walk: its documents lie in the caller's directory.
    location.relative_path = directory;
    location.share_type = folder["share_type"];
    location.resolved = true;
    return location;
  }

  std::string relative = folder["name"];
  std::string top_path;
  std::set<std::string> seen = {folder_id};
  while (parent != "1") {
    // A parent met before means the chain loops and never reaches a top-level folder.
    if (!seen.insert(parent).second) return location;
    Row ancestor;
    if (!ReadFolder(connection, parent, &ancestor)) return location;
    relative = ancestor["name"] + "\\" + relative;
    top_path = ancestor["path"];
    location.share_type = ancestor["share_type"];
    parent = ancestor["parent_folder__id"];
  }
  location.relative_path = relative.empty() ? top_path : relative;
  location.resolved = true;
  return location;
}

}  // namespace qdw::database
