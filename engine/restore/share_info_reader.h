// Reads "BackupShareInfo.txt" back: the system the backup came from and one share a line,
// with the portable folder markers turned into this user's folders.
#ifndef QDW_ENGINE_RESTORE_SHARE_INFO_READER_H_
#define QDW_ENGINE_RESTORE_SHARE_INFO_READER_H_

#include <string>
#include <vector>

#include "engine/common/archive_names.h"
#include "platform/platform.h"
#include "settings/product_settings.h"

namespace qdw::restore {

// Source kinds of the file's first line.
inline constexpr int kSourceUnknown = 0;
inline constexpr int kSource9x = 1;
inline constexpr int kSourceNt = 2;
inline constexpr int kSourceNtOnClass6 = 6;

// Four parallel lists in file order; a data flag is "1" for a folder in the repository.
struct RecordedShares {
  std::vector<std::string> names;
  std::vector<std::string> paths;
  std::vector<std::string> details;
  std::vector<std::string> data_flags;
  int source_kind = kSourceUnknown;

  size_t size() const { return names.size(); }
};

class ShareInfoReader {
 public:
  ShareInfoReader(platform::Platform& platform, settings::ProductSettings& settings)
      : platform_(platform), settings_(settings) {}

  // True with the shares of `folder`'s file, or with none when the file does not exist; false
  // when it cannot be read.
  bool Read(const std::string& folder, RecordedShares* out);

 private:
  std::string SpecialFolder(int csidl);

  platform::Platform& platform_;
  settings::ProductSettings& settings_;
};

// Splits one line into name, path and details ("\" when the line has only one comma).
void SplitShareLine(const std::string& line, std::string* name, std::string* path,
                    std::string* details);

// A share name that can stand as one folder name and one share name: a name Windows keeps
// (platform::WindowsCanKeepName: no separator or ":", not "." or "..", no device name, no dot
// or blank at its end).
bool IsSafeShareName(const std::string& name);

// A full path of a folder: a drive letter, ":" and "\", or a network path "\\server\share",
// with no "." or ".." components, no device prefix and only names Windows keeps on the way.
bool IsSafeSharePath(const std::string& path);

// A network path ("\\server\share..."): its folder lies on another machine, so the archive
// has none of its content and a restore never removes or replaces it.
bool IsNetworkPath(const std::string& path);

// "name,path" of every entry whose name or path is not safe, in file order.
std::vector<std::string> UnsafeShareEntries(const RecordedShares& shares);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_SHARE_INFO_READER_H_
