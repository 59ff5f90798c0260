#include "database/shared_folder_tree.h"

#include <cstdlib>
#include <map>
#include <set>
#include <utility>

#include "database/sql_text.h"
#include "platform/windows_path.h"

namespace qdw::database {

std::string CanonicalDecimal(const std::string& text) {
  if (!IsIntegerText(text)) return text;
  return std::to_string(std::strtoll(text.c_str(), nullptr, 10));
}

std::string CanonicalFlag(const std::string& text) {
  if (IsIntegerText(text)) return std::strtoll(text.c_str(), nullptr, 10) != 0 ? "1" : "0";
  return platform::EqualsIgnoreCase(text, "true") || platform::EqualsIgnoreCase(text, "yes") ? "1"
                                                                                             : "0";
}

std::vector<std::string> SharedFolderTree(const std::vector<FolderRow>& rows) {
  std::vector<std::string> result;
  std::vector<std::string> roots;
  std::map<std::string, std::vector<std::string>> children_of;
  for (const FolderRow& row : rows) {
    if (row.shared == "1" && row.share_type != "1") {
      result.push_back(row.id);
      roots.push_back(row.id);
    }
    children_of[row.parent_id].push_back(row.id);
  }

  for (const std::string& root : roots) {
    // Ids met under this root; a loop in the parent chain ends at the first repeat.
    std::set<std::string> seen = {root};
    auto expand = [&](const std::string& folder) {
      std::vector<std::string> children;
      auto found = children_of.find(folder);
      if (found == children_of.end()) return children;
      for (const std::string& child : found->second) {
        if (!seen.insert(child).second) continue;
        result.push_back(child);
        children.push_back(child);
      }
      return children;
    };
    // Each folder lists all its children before descending into the first of them.
    std::vector<std::pair<std::vector<std::string>, size_t>> pending;
    pending.emplace_back(expand(root), 0);
    while (!pending.empty()) {
      auto& [children, next] = pending.back();
      if (next == children.size()) {
        pending.pop_back();
        continue;
      }
      const std::string folder = children[next++];
      pending.emplace_back(expand(folder), 0);
    }
  }
  return result;
}

}  // namespace qdw::database
