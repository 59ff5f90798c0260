// The merged documents the record cleanup has met during one backup run: the folder id and the
// name of each, in the order met. A later locked document revisits every merged document met
// before it, so the list lives as long as the run.
#ifndef QDW_DATABASE_MERGED_FOLDER_LIST_H_
#define QDW_DATABASE_MERGED_FOLDER_LIST_H_

#include <string>
#include <vector>

namespace qdw::database {

// The two lists grow together.
struct MergedFolderList {
  std::vector<std::string> folder_ids;
  std::vector<std::string> names;

  void Append(const std::string& folder_id, const std::string& name) {
    folder_ids.push_back(folder_id);
    names.push_back(name);
  }
  size_t size() const { return folder_ids.size(); }
  void Clear() {
    folder_ids.clear();
    names.clear();
  }
};

}  // namespace qdw::database

#endif  // QDW_DATABASE_MERGED_FOLDER_LIST_H_
