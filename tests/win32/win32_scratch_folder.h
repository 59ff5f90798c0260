// A fresh folder under the system's temporary folder for one test, removed with everything in
// it afterwards. Works on Windows paths through the Win32 API directly, so the checks never
// depend on the port they check.
#ifndef QDW_TESTS_WIN32_WIN32_SCRATCH_FOLDER_H_
#define QDW_TESTS_WIN32_WIN32_SCRATCH_FOLDER_H_

#include <map>
#include <string>

namespace qdw::testing {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, without a trailing backslash.
  const std::string& path() const { return path_; }
  // `relative` joined to the folder's path.
  std::string Path(const std::string& relative) const;
  // Writes a file below the folder, making its folders.
  void Put(const std::string& relative, const std::string& content) const;

 private:
  std::string path_;
};

// Every file below `folder` by relative path (backslashes) with its content.
std::map<std::string, std::string> ReadTree(const std::string& folder);
// Removes a tree; false when something stayed.
bool RemoveTree(const std::string& folder);
// True when the tests run under Wine rather than on Windows itself.
bool RunningUnderWine();

}  // namespace qdw::testing

#endif  // QDW_TESTS_WIN32_WIN32_SCRATCH_FOLDER_H_
