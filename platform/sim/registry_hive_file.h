// One stand-in hive kept as a REGEDIT4 file in the machine folder ("registry/HKLM.reg").
// Reads use a parsed copy that is refreshed when the file changes on disk; changes take the
// machine lock, start from the newest file and replace it atomically, so several processes
// can share the hive.
#ifndef QDW_PLATFORM_SIM_REGISTRY_HIVE_FILE_H_
#define QDW_PLATFORM_SIM_REGISTRY_HIVE_FILE_H_

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/sim/machine_store.h"
#include "platform/sim/registry_node.h"
#include "platform/win_error.h"

struct stat;

namespace qdw::sim {

class RegistryHiveFile {
 public:
  // `relative_path` inside the machine folder; `root_name` such as "HKEY_LOCAL_MACHINE".
  RegistryHiveFile(const MachineStore& store, std::string relative_path, std::string root_name);

  const std::string& root_name() const { return root_name_; }

  // Runs `read` on the current tree. kErrorBadDb when the file is not a readable hive.
  platform::WinError Read(const std::function<platform::WinError(const RegistryNode&)>& read);

  // Runs `change` under the machine lock on the newest tree; when it returns kSuccess and
  // sets `*changed`, the file is rewritten. Returns what `change` returned, or kErrorBadDb /
  // kErrorWriteFault when the file cannot be read or written.
  platform::WinError Update(
      const std::function<platform::WinError(RegistryNode&, bool* changed)>& change);

  // Why the hive could not be read or written last time (for messages).
  std::string last_error() const;

 private:
  struct Stamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified_ns = -1;
    bool operator==(const Stamp& o) const {
      return device == o.device && inode == o.inode && size == o.size &&
             modified_ns == o.modified_ns;
    }
  };
  static Stamp StampOf(const struct stat& st);
  // Re-reads the file when it differs from the cached copy. Caller holds mutex_.
  platform::WinError Refresh();

  const MachineStore& store_;
  std::string relative_path_;
  std::string root_name_;
  std::mutex mutex_;
  std::unique_ptr<RegistryNode> root_;
  Stamp stamp_;
  std::string error_;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_REGISTRY_HIVE_FILE_H_
