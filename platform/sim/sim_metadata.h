// Sidecar metadata of files and folders: what the host file system cannot keep (DOS
// attributes, creation time, an explicit DACL). An object whose values are the defaults has
// no sidecar, so a machine's meta/ folder holds only the exceptions. The sidecar of
// "C:\Users\jo\a.txt" is meta/C/USERS/JO/A.TXT.meta; the sidecars of a folder's children live
// in the folder meta/C/USERS/JO/A.TXT, so moving or deleting a folder carries them along.
#ifndef QDW_PLATFORM_SIM_SIM_METADATA_H_
#define QDW_PLATFORM_SIM_SIM_METADATA_H_

#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "platform/security_types.h"
#include "platform/sim/sim_paths.h"
#include "platform/win_error.h"

namespace qdw::sim {

struct ObjectMeta {
  // Read-only, hidden, system and archive bits; nullopt: the default (archive for a file,
  // none for a folder).
  std::optional<uint32_t> attributes;
  std::optional<uint64_t> creation;  // FileTime ticks; nullopt: taken from the host
  // Explicit DACL; nullopt: inherited from the parent folder.
  std::optional<platform::Acl> dacl;
  bool IsDefault() const { return !attributes && !creation && !dacl; }
};

// Where an object's metadata lives on the host: its sidecar is `path` + ".meta", its children's
// are in the folder `path`. Empty for a drive root, which keeps none. A call that reads and then
// changes an object's metadata spells this path once.
struct SidecarNode {
  std::string path;
};

class MetadataStore {
 public:
  // `machine_folder` is the machine's host folder.
  explicit MetadataStore(std::string machine_folder);

  SidecarNode Node(const WindowsPathParts& path) const;
  // The same from the object's CanonicalPath() `key`, which a call has spelt for the sharing
  // table already: a key of plain ASCII is the node's names, folded.
  SidecarNode Node(const WindowsPathParts& path, const std::string& key) const;

  // The object's metadata; all defaults when it has no sidecar.
  ObjectMeta Read(const SidecarNode& node) const;
  ObjectMeta Read(const WindowsPathParts& path) const { return Read(Node(path)); }
  // Stores `meta`, removing the sidecar when everything is default.
  void Write(const SidecarNode& node, const ObjectMeta& meta) const;
  void Write(const WindowsPathParts& path, const ObjectMeta& meta) const {
    Write(Node(path), meta);
  }
  // Forgets an object and, for a folder, everything below it.
  void Remove(const SidecarNode& node) const;
  void Remove(const WindowsPathParts& path) const { Remove(Node(path)); }
  // Carries an object's metadata (and its children's) to a new path.
  void Move(const WindowsPathParts& from, const WindowsPathParts& to) const;
  // Renames the host file or folder `host_from` to `host_to` (replacing a file there) and
  // carries the metadata along, as one step for anyone who looks later: a note of the move is
  // kept in meta/.moves until both parts are done, so that RecoverMoves() can finish the
  // metadata's part after the process was killed between them. With `durable` the host folders
  // are synced after the rename.
  platform::WinError MoveObject(const SidecarNode& from, const SidecarNode& to,
                                const std::string& host_from, const std::string& host_to,
                                bool durable) const;
  // Finishes the moves that processes killed in the middle of one left behind.
  void RecoverMoves() const;
  // Upper-case names of the children of `folder` that have sidecars.
  std::set<std::string> ChildrenWithSidecars(const WindowsPathParts& folder) const;

 private:
  std::string NodePath(const WindowsPathParts& path) const;
  // Whether a folder of sidecars exists; most do not, and the answer is usually cached.
  bool FolderExists(const std::string& node_folder) const;

  std::string machine_folder_;
  std::string meta_root_;
  mutable std::mutex write_mutex_;
};

// The drive letter and upper-case components as one key ("C:\USERS\JO\A.TXT"), used to
// compare paths the way Windows does.
std::string CanonicalPath(const WindowsPathParts& path);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_METADATA_H_
