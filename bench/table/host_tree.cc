#include "bench/table/host_tree.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace qdw::bench {

namespace fs = std::filesystem;

uint64_t TreeBytes(const std::string& folder) {
  uint64_t total = 0;
  std::error_code error;
  if (fs::is_regular_file(folder, error)) return fs::file_size(folder, error);
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file(error)) total += it->file_size(error);
  }
  return total;
}

std::vector<std::string> RelativeFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file(error)) files.push_back(fs::relative(it->path(), folder).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool SameTree(const std::string& a, const std::string& b) {
  // Single quotes in the generated paths would break the command; there are none.
  if (a.find('\'') != std::string::npos || b.find('\'') != std::string::npos) return false;
  const std::string command = "diff -rq '" + a + "' '" + b + "' > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void RemoveAll(const std::string& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

}  // namespace qdw::bench
