// A repository of many small documents, as a document-management product piles them up:
// each document is an original, its PDF rendering and an XML description, 0.6 to 8 KB each
// (sizes spread evenly on a log scale), a fixed number of files per folder.
#ifndef QDW_BENCH_SMALL_FILES_SMALL_DOCUMENT_TREE_H_
#define QDW_BENCH_SMALL_FILES_SMALL_DOCUMENT_TREE_H_

#include <cstdint>
#include <string>

namespace qdw::bench {

struct SmallTreeShape {
  uint64_t min_bytes = 600;
  uint64_t max_bytes = 8192;
  uint64_t files_per_folder = 300;
};

struct SmallTreeFacts {
  uint64_t files = 0;
  uint64_t bytes = 0;
};

// Writes files number `first` to `first + count - 1` below the host folder `root`; the same
// number always gives the same file, so a tree grown in steps equals one made at once.
SmallTreeFacts AddSmallDocuments(const std::string& root, uint64_t first, uint64_t count,
                                 const SmallTreeShape& shape);

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_SMALL_DOCUMENT_TREE_H_
