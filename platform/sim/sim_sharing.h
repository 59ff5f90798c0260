// Sharing modes on the stand-in machine: the files this process holds open, and the files
// "other programs" hold as listed in the machine's "locks.json":
//   {"locks": [{"path": "C:\\Users\\jo\\VARNOLD\\QDW\\a.pdf", "share": 0,
//               "access": 3221225472, "program": "QDW.EXE"}]}
// "share" holds the kShare* bits the holder allows others (default 0: none), "access" the
// kGeneric* rights it holds (default read and write).
#ifndef QDW_PLATFORM_SIM_SIM_SHARING_H_
#define QDW_PLATFORM_SIM_SIM_SHARING_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/win_error.h"

namespace qdw::sim {

class SharingTable {
 public:
  // `locks_file` is the host path of locks.json; its paths are UTF-8 text of names in the
  // machine's `code_page`.
  SharingTable(std::string locks_file, int code_page);
  // The one table of this process for the machine in `machine_folder`.
  static std::shared_ptr<SharingTable> ForMachine(const std::string& machine_folder, int code_page);

  // Registers an opener of the file with canonical path `key` (CanonicalPath()). Fails with
  // kErrorSharingViolation when an earlier opener does not share the requested access or
  // holds access the new opener does not share.
  platform::WinError Acquire(const std::string& key, uint32_t access, uint32_t share,
                             uint64_t* ticket);
  void Release(const std::string& key, uint64_t ticket);
  // Deleting or renaming a file needs every opener to share delete.
  platform::WinError CheckDelete(const std::string& key);
  // True when a file at or below the folder `key` is open here or held by another program.
  bool AnyOpenAtOrBelow(const std::string& key);

 private:
  struct Opener {
    uint64_t ticket = 0;
    uint32_t access = 0;
    uint32_t share = 0;
  };
  // Reloads locks.json when it changed; call with mutex_ held.
  void RefreshLocks();
  std::vector<Opener> OpenersOf(const std::string& key);

  std::string locks_file_;
  int code_page_;
  std::mutex mutex_;
  std::map<std::string, std::vector<Opener>> open_;
  std::multimap<std::string, Opener> locks_;
  int64_t locks_stamp_ = 0;  // 0: no locks.json seen
  uint64_t next_ticket_ = 1;
};

// One opener's registration for as long as a copy or a move holds the file.
class SharingHold {
 public:
  SharingHold(SharingTable& table, std::string key) : table_(table), key_(std::move(key)) {}
  ~SharingHold() {
    if (ticket_ != 0) table_.Release(key_, ticket_);
  }
  SharingHold(const SharingHold&) = delete;
  SharingHold& operator=(const SharingHold&) = delete;
  platform::WinError Acquire(uint32_t access, uint32_t share) {
    return table_.Acquire(key_, access, share, &ticket_);
  }

 private:
  SharingTable& table_;
  std::string key_;
  uint64_t ticket_ = 0;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_SHARING_H_
