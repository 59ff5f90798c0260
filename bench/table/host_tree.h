// Facts about folders of the host (outside the stand-in machine's ports), for checking and
// sizing what the benchmark steps read and write.
#ifndef QDW_BENCH_TABLE_HOST_TREE_H_
#define QDW_BENCH_TABLE_HOST_TREE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace qdw::bench {

// Bytes of all regular files below `folder` (or of `folder` itself when it is a file).
uint64_t TreeBytes(const std::string& folder);
// Paths of the regular files below `folder`, relative to it, sorted.
std::vector<std::string> RelativeFiles(const std::string& folder);
// True when both trees hold the same files with the same bytes.
bool SameTree(const std::string& a, const std::string& b);
// Removes `path` and everything below it; missing is fine.
void RemoveAll(const std::string& path);

}  // namespace qdw::bench

#endif  // QDW_BENCH_TABLE_HOST_TREE_H_
