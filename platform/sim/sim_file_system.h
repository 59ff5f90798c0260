// The stand-in machine's files and folders (see docs/stand-in-machine.md). Drives are host
// folders, names are matched ignoring case, and what the host cannot keep (attributes,
// creation times, DACLs) lives in sidecars. Every operation first asks the fault injector
// ("FileSystem.<Method>" with the path as given); writes are charged to the drive's
// disk-full budget.
#ifndef QDW_PLATFORM_SIM_SIM_FILE_SYSTEM_H_
#define QDW_PLATFORM_SIM_SIM_FILE_SYSTEM_H_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/sim/sim_file.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_host_copy.h"
#include "platform/sim/sim_sharing.h"

namespace qdw::sim {

class SimFileSystem : public platform::FileSystem {
 public:
  explicit SimFileSystem(SimMachine& machine);

  platform::WinError Open(const std::string& path, uint32_t access, uint32_t share,
                          platform::Disposition disposition, uint32_t flags_and_attributes,
                          std::unique_ptr<platform::File>* out) override;
  platform::WinError ReadAttributes(const std::string& path, uint32_t* attributes) override;
  platform::WinError WriteAttributes(const std::string& path, uint32_t attributes) override;
  platform::WinError Find(const std::string& pattern,
                          std::vector<platform::DirEntry>* entries) override;
  platform::WinError FindNamesAndAttributes(const std::string& pattern,
                                            std::vector<platform::DirEntry>* entries) override;
  platform::WinError Copy(const std::string& source, const std::string& target,
                          bool fail_if_exists) override;
  platform::WinError Move(const std::string& source, const std::string& target) override;
  platform::WinError Replace(const std::string& source, const std::string& target) override;
  platform::WinError Delete(const std::string& path) override;
  // The machine's part of each item (fault rules, checks, sharing, sidecars) goes in the
  // items' order on the caller's thread; the host's part of several items runs at once.
  void CopyFiles(const std::vector<platform::FileCopy>& copies, bool fail_if_exists, BatchEnd end,
                 std::vector<platform::WinError>* results) override;
  void DeleteFiles(const std::vector<std::string>& paths, BatchEnd end,
                   std::vector<platform::WinError>* results) override;
  platform::WinError MakeFolder(const std::string& path) override;
  platform::WinError RemoveFolder(const std::string& path) override;
  platform::WinError FreeSpace(const std::string& root, uint64_t* free_bytes) override;
  uint32_t DriveKind(const std::string& root) override;
  platform::WinError VolumeFileSystem(const std::string& root, std::string* name) override;
  platform::WinError ReadDacl(const std::string& path, bool* present, platform::Acl* dacl) override;
  platform::WinError WriteDacl(const std::string& path, const platform::Acl& dacl) override;
  platform::WinError FullPath(const std::string& path, std::string* full) override;
  platform::WinError TempFileName(const std::string& prefix, std::string* path) override;

  // Makes `path` a junction to the folder `target` (mklink /J): a host symbolic link holding the
  // Windows path of the target. The target need not exist. kErrorAlreadyExists when something is
  // at `path`; kErrorAccessDenied on a drive without reparse points (FAT, CD).
  platform::WinError MakeJunction(const std::string& path, const std::string& target);

 private:
  // A path resolved on the machine.
  struct Located {
    WindowsPathParts parts;
    std::string host;
    bool exists = false;
    bool parent_is_folder = false;  // seen while resolving; false: not known
    HostInfo info;
    bool write_protected = false;  // a CD-ROM drive
    bool ntfs = true;
    bool IsRoot() const { return parts.components.empty(); }
    // CanonicalPath(parts), spelt once: the sharing table's key, and the sidecar path's source.
    const std::string& Key() const {
      if (key.empty()) key = CanonicalPath(parts);
      return key;
    }
    mutable std::string key;
  };

  // A copy whose checks have passed: both files are held as the copy holds them, the source is
  // open and the target's sidecar is in place; the host's part is left.
  struct PendingCopy {
    Located from;
    Located to;
    std::optional<SharingHold> reading;
    std::optional<SharingHold> writing;
    HostCopy host;
    SidecarNode target_node;
  };
  // A delete whose checks have passed; the host's unlink is left.
  struct PendingDelete {
    Located at;
    SidecarNode node;
  };

  // Parses and maps `path`: kErrorPathNotFound for a drive the machine lacks,
  // kErrorNotReady for a drive without a medium, the syntax errors of SplitWindowsPath. A
  // junction on the way is followed to its target; one at the end only with `follow_last` (the
  // calls that reach through it: listing its content, its access list).
  platform::WinError Locate(const std::string& path, Located* out, bool follow_last = false,
                            bool likely_new = false) const;
  // Locate for a path whose object is probably not there yet: what a call creates, a move's
  // target. The answer is the same; only the order of the host's look-ups differs.
  platform::WinError LocateNew(const std::string& path, Located* out) const {
    return Locate(path, out, /*follow_last=*/false, /*likely_new=*/true);
  }

  // Error for a path that does not exist: kErrorFileNotFound when its folder exists,
  // kErrorPathNotFound otherwise.
  static platform::WinError MissingError(const Located& located);
  static bool ParentIsFolder(const Located& located);
  // Attribute bits as Windows reports them.
  uint32_t AttributesOf(const Located& located, const ObjectMeta& meta) const;
  bool IsReadOnly(const SidecarNode& node) const;
  bool IsReadOnly(const Located& located) const;
  // Where the object's metadata lives.
  SidecarNode NodeOf(const Located& located) const;
  // Copies a file's bytes, last-write time and attributes to a new host file.
  platform::WinError CopyFileBody(const Located& source, const Located& target,
                                  bool keep_creation) const;
  // The machine's part of a copy before the host's: the source opened, the target's sidecar
  // written. FinishCopy takes the sidecar back when the host's part failed.
  platform::WinError PrepareCopy(const Located& source, const Located& target, bool keep_creation,
                                 HostCopy* copy, SidecarNode* target_node) const;
  platform::WinError FinishCopy(const SidecarNode& target_node, platform::WinError result) const;
  // Copy after its fault rules were asked: its look-ups and checks, which change nothing, then
  // what holds the files and writes the target's sidecar, up to the host's part.
  platform::WinError LocateCopy(const std::string& source, const std::string& target,
                                bool fail_if_exists, PendingCopy* pending) const;
  platform::WinError HoldCopy(PendingCopy* pending) const;
  // The host's part of a held copy, charging the disk budget chunk by chunk, then its end.
  platform::WinError CopyHeld(const PendingCopy& pending) const;
  // Delete after its fault rules were asked, up to the host's unlink; changes nothing.
  platform::WinError BeginDelete(const std::string& path, PendingDelete* pending) const;
  platform::WinError FinishDelete(const PendingDelete& pending, platform::WinError result) const;
  // The host's unlink of a checked delete.
  static platform::WinError UnlinkHost(const PendingDelete& pending);
  // The batches with every item's whole call on several threads; false, having changed
  // nothing, where that could tell their order apart (a fault armed, a file named twice, a
  // look-up that fails).
  bool CopyFilesAtOnce(const std::vector<platform::FileCopy>& copies, bool fail_if_exists,
                       BatchEnd end, std::vector<platform::WinError>* results);
  bool DeleteFilesAtOnce(const std::vector<std::string>& paths, BatchEnd end,
                         std::vector<platform::WinError>* results);
  platform::WinError MoveOneFolder(const Located& source, const Located& target);
  platform::WinError MoveOneFile(const Located& source, const Located& target);
  // The DACL an object without its own inherits from its nearest ancestor that has one.
  platform::Acl InheritedDacl(const WindowsPathParts& path, bool is_folder) const;
  // `host_creation` is the creation time the host object keeps (HostCreation for a file, its
  // birth for a folder); a sidecar's wins over it.
  // Find, or without each entry's size and times (FindNamesAndAttributes).
  platform::WinError List(const std::string& pattern, bool sizes_and_times,
                          std::vector<platform::DirEntry>* entries);
  platform::DirEntry EntryOf(std::string name, const HostInfo& info,
                             platform::FileTime host_creation,
                             std::optional<ObjectMeta> meta) const;

  SimMachine& machine_;
  std::shared_ptr<FileSystemState> state_;
};

// SimFileSystem::MakeJunction on `machine` (qdwsim link, tests).
platform::WinError MakeSimJunction(SimMachine& machine, const std::string& path,
                                   const std::string& target);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_FILE_SYSTEM_H_
