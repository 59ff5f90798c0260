// A generated document-like tree for the archive benchmark: text, PDF-like files (text with
// compressed streams), already-compressed images and a few large files.
#ifndef QDW_BENCH_ARCHIVE_DOCUMENT_TREE_H_
#define QDW_BENCH_ARCHIVE_DOCUMENT_TREE_H_

#include <cstdint>
#include <random>
#include <string>

namespace qdw::bench {

struct TreeFacts {
  uint64_t files = 0;
  uint64_t bytes = 0;
};

// Text of `size` bytes made of words, numbers and CRLF line ends (compresses like letters).
std::string DocumentText(size_t size, std::mt19937& random);
// `size` random bytes (compresses like images and packed formats: not at all).
std::string RandomBytes(size_t size, std::mt19937& random);

// Writes about `megabytes` MiB of files below the host folder `root` (created).
TreeFacts GenerateDocumentTree(const std::string& root, uint64_t megabytes);

}  // namespace qdw::bench

#endif  // QDW_BENCH_ARCHIVE_DOCUMENT_TREE_H_
