// One stand-in Windows machine: its host folder, the shared state store, fault injection, the
// parsed machine description ("machine.json") and the mapping of Windows paths to host paths.
// Every sim port is built over one SimMachine; docs/stand-in-machine.md describes the layout.
#ifndef QDW_PLATFORM_SIM_SIM_MACHINE_H_
#define QDW_PLATFORM_SIM_SIM_MACHINE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/code_page_text.h"
#include "platform/sim/fault_injector.h"
#include "platform/sim/machine_store.h"
#include "platform/system_info.h"

namespace qdw::sim {

// The user the machine's processes run as ("current_user" of machine.json).
struct SimUser {
  std::string name;
  std::string domain;
  std::string sid;  // "S-1-5-21-..."
  bool admin = false;
  bool may_control_services = false;
};

class SimMachine {
 public:
  // `folder` must hold a "machine.json"; throws std::runtime_error otherwise.
  explicit SimMachine(const std::string& folder);
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  // The folder named by QDW_MACHINE, or empty when the variable is unset or empty.
  static std::string MachineFolderFromEnvironment();
  // True when `folder` holds a machine description.
  static bool IsMachineFolder(const std::string& folder);
  // Makes a machine: creates `folder` when missing, writes `description` as machine.json
  // and creates drives/, meta/ and registry/. Throws std::runtime_error on failure.
  static void CreateMachineFolder(const std::string& folder, const Json& description);

  const std::string& folder() const { return store_.root(); }
  const MachineStore& store() const { return store_; }
  const FaultInjector& faults() const { return faults_; }

  // The parsed machine.json, re-read when the file changes on disk.
  std::shared_ptr<const Json> Description() const;

  static constexpr size_t kDriveLetters = 'Z' - 'A' + 1;

  // What every file call asks of the description, read from it once each time it changes.
  struct DriveFacts {
    bool present = false;  // an entry of "drives"
    bool ready = true;     // false: no medium
    bool cdrom = false;
    bool ntfs = true;
  };
  struct FileFacts {
    int code_page = platform::kAnsiCodePageWestern;
    DriveFacts drives[kDriveLetters];
    const DriveFacts& Drive(char upper_letter) const { return drives[upper_letter - 'A']; }
  };
  std::shared_ptr<const FileFacts> Facts() const;

  // Maps "C:\Users\jo\a.txt" to drives/C/Users/jo/a.txt under the machine folder. Existing
  // components are matched ignoring case (the host spelling is used); the first missing one
  // and everything after it are kept as given. "." and ".." are resolved, "/" counts as "\".
  // False for relative, drive-relative ("C:x"), UNC or device paths and for drives the
  // machine does not have.
  bool ToHostPath(const std::string& windows_path, std::string* host) const;
  // Host folder of a drive ("drives/C"), created when missing. False for an unknown drive.
  bool DriveHostRoot(char letter, std::string* host) const;
  // Host folder of drive `letter` ("A" to "Z"), created when missing; the letter is unchecked.
  const std::string& DriveFolder(char letter) const;
  // The drive's entry of machine.json ("drives" -> "C"); null when the machine lacks it.
  Json DriveDescription(char letter) const;
  // The same within a description already read (one look at machine.json for several facts),
  // without a copy; null when the machine lacks it.
  static const Json* DriveEntry(const Json& description, char letter);
  static int CodePage(const Json& description);

  // The machine's ANSI code page ("code_page" of machine.json, 1252 when absent).
  int CodePage() const;
  std::string ComputerName() const;
  SimUser CurrentUser() const;
  platform::OsVersion Version() const;
  // Minutes to add to UTC to get the machine's local time.
  int32_t TimeZoneOffsetMinutes() const;
  // A variable of the machine's "environment" (names ignore case), else of this process.
  // A variable this process set (SetProcessEnvironment) first, then the machine's
  // "environment", then the host process's.
  bool EnvironmentVariable(const std::string& name, std::string* value) const;
  // What SetEnvironmentVariable does to the process: the variable (in the machine's code page)
  // set, or removed when `value` is empty, for every copy of the port in this process and the
  // programs it starts. It lives in the host environment as QDW_SIM_SET_<NAME>.
  static bool SetProcessEnvironment(const std::string& name,
                                    const std::optional<std::string>& value);

 private:
  MachineStore store_;
  // Asked on every port call: spelt once.
  const std::string description_path_ = store_.HostPath("machine.json");
  const std::array<std::string, kDriveLetters> drive_folders_ = DriveFolders(store_);
  FaultInjector faults_;
  mutable std::mutex description_mutex_;
  mutable std::shared_ptr<const Json> description_;
  mutable std::shared_ptr<const FileFacts> facts_;  // of description_

  static std::array<std::string, kDriveLetters> DriveFolders(const MachineStore& store);
  // Re-reads machine.json when it changed; takes description_mutex_ itself.
  void RefreshDescription() const;
  mutable int64_t description_stamp_ = -1;
  mutable int64_t description_size_ = -1;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_MACHINE_H_
