// FCI callbacks over POSIX files for the tests, and a helper that packs a list of files into a
// cabinet set the way the archive writer does ("<base>_add<n>.qdw" continuation names).
#ifndef QDW_TESTS_CABINET_POSIX_FCI_H_
#define QDW_TESTS_CABINET_POSIX_FCI_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cabinet/fci.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {

struct PackOptions {
  unsigned long volume_limit = 0;  // CCAB.cb
  unsigned long folder_threshold = 900000;
  unsigned short set_id = 1;
  TCOMP compression = tcompTYPE_MSZIP;
  // Attribute bits handed back by the open-info callback, by source path (default 0x20).
  std::map<std::string, unsigned short> attributes;
  unsigned int reserve_header = 0;
  unsigned int reserve_folder = 0;
  unsigned int reserve_data = 0;
  bool fail_on_incompressible = false;
  // Failures to provoke.
  bool abort_in_status = false;
  bool refuse_next_cabinet = false;
  bool no_temp_names = false;
};

struct PackResult {
  bool ok = false;
  ERF erf{};
  // Every volume written, first one first (full paths).
  std::vector<std::string> volumes;
  // File names the next-cabinet callback produced.
  std::vector<std::string> continuation_names;
  int files_placed = 0;
  int continuations_placed = 0;
  size_t peak_memory = 0;  // most bytes held through the alloc callback at once
  int open_handles_left = 0;
};

// Packs `files` into the set whose first volume is `cabinet_path` (must end in ".qdw" or
// ".cab"), flushing at the end.
PackResult PackFiles(const std::vector<SourceFile>& files, const std::string& cabinet_path,
                     const PackOptions& options = {});

// Translates the engine's open flags to POSIX ones.
int PosixOpenFlags(int cab_flags);

// MS-DOS date and time of a file's last-write time in local time.
void DosDateTime(int64_t unix_time, unsigned short* date, unsigned short* time);

}  // namespace qdw::cab::testing

#endif  // QDW_TESTS_CABINET_POSIX_FCI_H_
