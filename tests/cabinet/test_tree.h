// Scratch folders, generated file trees and external tools for the cabinet tests.
#ifndef QDW_TESTS_CABINET_TEST_TREE_H_
#define QDW_TESTS_CABINET_TEST_TREE_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qdw::cab::testing {

// One file to pack: where it is and the name to store.
struct SourceFile {
  std::string path;
  std::string stored_name;
};

// A fresh folder below $TMPDIR (or /tmp), removed with its content on destruction.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  // Full path with a trailing "/".
  const std::string& path() const { return path_; }
  // Creates the sub-folder `relative` (with parents) and returns its full path with "/".
  std::string Sub(const std::string& relative) const;
  static void MakeFolder(const std::string& path);

 private:
  std::string path_;
};

enum class Content { kText, kRandom, kZeros };

// Deterministic bytes of the given kind.
std::string MakeContent(Content kind, size_t size, uint32_t seed);

// Writes `bytes` to `path`, creating parent folders.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

// Every file below `root` (a folder path ending in "/"), with stored names relative to it using
// "\" as separator, sorted by stored name.
std::vector<SourceFile> ListTree(const std::string& root);

// Relative path ("/" separated) to content, for every file below `root`.
std::map<std::string, std::string> SnapshotTree(const std::string& root);

// Runs a shell command; returns its exit status and fills `output` with stdout and stderr.
int RunCommand(const std::string& command, std::string* output = nullptr);
std::string Quote(const std::string& text);

// Path of the structural checker, or "" when it is not available.
std::string CabdumpPath();

}  // namespace qdw::cab::testing

#endif  // QDW_TESTS_CABINET_TEST_TREE_H_
