// The independent cabinet tools the archive tests check our sets with: cabextract (test,
// list, extract) and gcab (create).
#ifndef QDW_TESTS_ARCHIVE_EXTERNAL_TOOLS_H_
#define QDW_TESTS_ARCHIVE_EXTERNAL_TOOLS_H_

#include <map>
#include <string>
#include <vector>

namespace qdw::testing {

// Runs a shell command; its exit status, with stdout and stderr in `output`.
int RunShell(const std::string& command, std::string* output = nullptr);
std::string ShellQuote(const std::string& text);

// A fresh host folder, removed with its content on destruction. path() ends with "/".
class HostScratch {
 public:
  HostScratch();
  ~HostScratch();
  HostScratch(const HostScratch&) = delete;
  HostScratch& operator=(const HostScratch&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// One entry of `cabextract -l`.
struct ListedEntry {
  std::string name;       // as cabextract shows it ("/" between folders)
  std::string date_time;  // "dd.mm.yyyy hh:mm:ss"
  long size = 0;
};

// `cabextract -t` on the set beginning with the host file `first_volume` succeeds.
void ExpectCabextractAccepts(const std::string& first_volume);
// The entries cabextract lists for the set (continued files once).
std::vector<ListedEntry> CabextractList(const std::string& first_volume);
// Extracts the set with cabextract; stored-style names ("A\x.txt") to content.
std::map<std::string, std::string> CabextractTree(const std::string& first_volume);

// Packs the host files `names` (relative to `folder`) into `cabinet` with `gcab -c -z`.
void GcabCreate(const std::string& cabinet, const std::string& folder,
                const std::vector<std::string>& names);

}  // namespace qdw::testing

#endif  // QDW_TESTS_ARCHIVE_EXTERNAL_TOOLS_H_
