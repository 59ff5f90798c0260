// FDI callbacks over POSIX files for the tests: extracts one volume into a folder and records
// every notification.
#ifndef QDW_TESTS_CABINET_POSIX_FDI_H_
#define QDW_TESTS_CABINET_POSIX_FDI_H_

#include <functional>
#include <string>
#include <vector>

#include "cabinet/fdi.h"

namespace qdw::cab::testing {

struct ExtractedFile {
  std::string name;  // as stored
  long size = 0;
  unsigned short date = 0;
  unsigned short time = 0;
  unsigned short attribs = 0;
};

struct ExtractOptions {
  // Called on fdintNEXT_CABINET; may rewrite psz3 or return -1. Default: answer 0.
  std::function<intptr_t(FDINOTIFICATION*)> on_next_cabinet;
  // Answer of fdintCOPY_FILE for a name: true to skip it.
  std::function<bool(const std::string&)> skip;
  // Write every file to this path instead of below the destination (for example /dev/full).
  std::string target;
};

struct ExtractResult {
  bool is_cabinet = false;
  bool ok = false;
  ERF erf{};
  std::vector<ExtractedFile> copied;
  std::vector<std::string> partial;
  std::vector<std::string> next_cabinets;  // psz1 of each fdintNEXT_CABINET
  // Every notification in order: its type number and psz1 ("2 a.txt").
  std::vector<std::string> events;
  int cabinet_infos = 0;
  int enumerates = 0;
  int open_handles_left = 0;  // target and cabinet handles not closed at the end
  size_t peak_memory = 0;     // most bytes held through the alloc callback at once
};

struct CabinetHeaderInfo {
  bool is_cabinet = false;
  FDICABINETINFO info{};
  ERF erf{};
};

// FDIIsCabinet on the file at `path`.
CabinetHeaderInfo ReadCabinetInfo(const std::string& path);

// Extracts the volume at `cabinet_path` into `destination` (ending in "/"), creating the
// folders of stored names ("\" becomes "/").
ExtractResult ExtractVolume(const std::string& cabinet_path, const std::string& destination,
                            const ExtractOptions& options = {});

}  // namespace qdw::cab::testing

#endif  // QDW_TESTS_CABINET_POSIX_FDI_H_
