// Which folders count as shared for the folder-table updates: every shared folder whose
// share type is not 1, with all folders below it.
#ifndef QDW_DATABASE_SHARED_FOLDER_TREE_H_
#define QDW_DATABASE_SHARED_FOLDER_TREE_H_

#include <string>
#include <vector>

namespace qdw::database {

// One row of qln_folder, each value as decimal text ("shared" as "1" or "0").
struct FolderRow {
  std::string id;
  std::string parent_id;
  std::string shared;
  std::string share_type;
};

// Integer text in its plain decimal form ("007" -> "7"); other text unchanged.
std::string CanonicalDecimal(const std::string& text);
// A Yes/No value as the driver renders it ("1", "-1", "True", "Yes"...) -> "1" or "0".
std::string CanonicalFlag(const std::string& text);

// The roots in table order, each followed depth first by its descendants (children in table
// order, each child's subtree after all children of its parent). A folder below two roots
// is listed under both; a parent chain that loops is followed only until it repeats.
std::vector<std::string> SharedFolderTree(const std::vector<FolderRow>& rows);

}  // namespace qdw::database

#endif  // QDW_DATABASE_SHARED_FOLDER_TREE_H_
