// Files and folders as Windows presents them: drive-letter paths with backslashes,
// case-insensitive names, DOS attributes, sharing modes and Windows error codes.
//
// Paths are ANSI texts such as "C:\Users\jo\VARNOLD\QDW\a.pdf". A path never needs a trailing
// backslash except for a drive root ("C:\"). Implementations must be safe to use from several
// threads at once; one File object is used by one thread at a time.
#ifndef QDW_PLATFORM_FILE_SYSTEM_H_
#define QDW_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_time.h"
#include "platform/security_types.h"
#include "platform/win_error.h"

namespace qdw::platform {

// Attribute bits.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;
// A junction, directory symbolic link or mount point: listed as a folder with this bit, and
// opening or listing through it reaches its target.
inline constexpr uint32_t kAttrReparsePoint = 0x400;
inline constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

// Access rights of Open.
inline constexpr uint32_t kGenericRead = 0x80000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;

// Sharing modes of Open: what other openers of the same file are still allowed to do.
inline constexpr uint32_t kShareNone = 0;
inline constexpr uint32_t kShareRead = 1;
inline constexpr uint32_t kShareWrite = 2;
inline constexpr uint32_t kShareDelete = 4;

// Creation dispositions of Open (the Win32 values).
enum class Disposition : uint32_t {
  kCreateNew = 1,         // fails with kErrorFileExists when the file exists
  kCreateAlways = 2,      // creates or truncates
  kOpenExisting = 3,      // fails with kErrorFileNotFound when missing
  kOpenAlways = 4,        // opens or creates
  kTruncateExisting = 5,  // truncates an existing file; fails when missing
};

// Flag of Open: the file is read front to back.
inline constexpr uint32_t kFlagSequentialScan = 0x08000000;

// Drive kinds (the Win32 DRIVE_* values).
inline constexpr uint32_t kDriveUnknown = 0;
inline constexpr uint32_t kDriveNoRootDir = 1;
inline constexpr uint32_t kDriveRemovable = 2;
inline constexpr uint32_t kDriveFixed = 3;
inline constexpr uint32_t kDriveRemote = 4;
inline constexpr uint32_t kDriveCdRom = 5;
inline constexpr uint32_t kDriveRamDisk = 6;

enum class SeekOrigin : uint32_t { kBegin = 0, kCurrent = 1, kEnd = 2 };

struct FileTimes {
  FileTime creation;
  FileTime last_access;
  FileTime last_write;
};

// One entry of a folder listing.
struct DirEntry {
  std::string name;  // name only, without folder
  uint32_t attributes = 0;
  uint64_t size = 0;
  FileTimes times;
};

// One file of a batch of copies.
struct FileCopy {
  std::string source;
  std::string target;
};

// One file of a batch of new files: its bytes, and what it is left with once they are written.
struct NewFile {
  std::string path;
  std::string data;
  bool stamped = false;
  FileTime stamp;                      // creation and last-write time, when `stamped`
  uint32_t attributes = kAttrArchive;  // a new file's own attributes, unless told otherwise
};

// An open file. Closing happens when the object is destroyed.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes; `*read` is 0 at end of file.
  virtual WinError Read(void* buffer, uint32_t size, uint32_t* read) = 0;
  // Writes all bytes or fails (kErrorDiskFull when the drive is full, with `*written` < size).
  virtual WinError Write(const void* buffer, uint32_t size, uint32_t* written) = 0;
  virtual WinError Seek(int64_t distance, SeekOrigin origin, uint64_t* position) = 0;
  virtual WinError Size(uint64_t* size) = 0;
  virtual WinError Times(FileTimes* times) = 0;
  // Null pointers leave that time unchanged.
  virtual WinError SetTimes(const FileTime* creation, const FileTime* last_access,
                            const FileTime* last_write) = 0;
  // Cuts or extends the file at the current position.
  virtual WinError SetEnd() = 0;
  // FlushFileBuffers: what was written is on the disk when this returns, so that it survives a
  // crash or a power loss. kErrorAccessDenied for a handle opened without write access.
  virtual WinError Flush() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens or creates a file (not a folder). A file another opener holds without sharing the
  // requested access fails with kErrorSharingViolation; a read-only file opened for writing or
  // truncated fails with kErrorAccessDenied; a missing folder gives kErrorPathNotFound.
  // `attributes` are used when the file is created (kAttrNormal or a combination of bits).
  virtual WinError Open(const std::string& path, uint32_t access, uint32_t share,
                        Disposition disposition, uint32_t flags_and_attributes,
                        std::unique_ptr<File>* out) = 0;

  // kErrorFileNotFound / kErrorPathNotFound when nothing is at the path.
  virtual WinError ReadAttributes(const std::string& path, uint32_t* attributes) = 0;
  // Sets read-only, hidden, system and archive; kAttrNormal clears them all.
  virtual WinError WriteAttributes(const std::string& path, uint32_t attributes) = 0;

  // Lists the entries matching `pattern`: a folder, a backslash and a last component that may
  // hold the wildcards "*" and "?" ("*.*" and "*" match every name). Entries come in the
  // order the file system keeps them; "." and ".." come first for every folder but a drive
  // root. kErrorFileNotFound when nothing matches, kErrorPathNotFound when the folder is
  // missing, kErrorAccessDenied when it may not be listed.
  virtual WinError Find(const std::string& pattern, std::vector<DirEntry>* entries) = 0;
  // As Find, for a walk that needs only each entry's name and attributes: the entries' sizes
  // and times may be left zero. A file system that looks up an entry's size and times apart
  // from its name (the stand-in) spares those look-ups; Windows lists them together.
  virtual WinError FindNamesAndAttributes(const std::string& pattern,
                                          std::vector<DirEntry>* entries) {
    return Find(pattern, entries);
  }

  // Copies a file with its attributes and last-write time. With `fail_if_exists` an existing
  // target gives kErrorFileExists; otherwise a read-only target gives kErrorAccessDenied.
  virtual WinError Copy(const std::string& source, const std::string& target,
                        bool fail_if_exists) = 0;
  // Renames a file or folder. An existing target gives kErrorAlreadyExists. Files may move to
  // another drive (copy and delete); folders only within one drive (kErrorNotSameDevice=17).
  virtual WinError Move(const std::string& source, const std::string& target) = 0;
  // Moves a file over another one in one step and on the disk when it returns (MoveFileEx with
  // MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH): a crash leaves either the old target or
  // the source's file at `target`, never neither. `target` may be missing (a plain rename).
  // Within one drive only (kErrorNotSameDevice). A read-only target, a folder at `target` or a
  // target that is open gives kErrorAccessDenied; a source open without delete sharing
  // kErrorSharingViolation. A folder as source is renamed when `target` is missing.
  virtual WinError Replace(const std::string& source, const std::string& target) = 0;
  // Deletes a file. Read-only: kErrorAccessDenied. Open without delete sharing:
  // kErrorSharingViolation.
  virtual WinError Delete(const std::string& path) = 0;

  // Batches of independent files, such as a folder's files moved or removed one by one. Each
  // goes as Copy(copies[i].source, copies[i].target, fail_if_exists) or Delete(paths[i]) would,
  // one after another, as far as anything but the time taken can tell: the same outcomes, and
  // the same checks and fault counts in the same order. A port may do the work of several at
  // once. `(*results)[i]` is the outcome of item i. With kStopAtFailure the batch ends at the
  // first item that fails and `results` holds the items up to it; a port that was doing several
  // at once may have done, and report, a few after it too.
  enum class BatchEnd { kAll, kStopAtFailure };
  virtual void CopyFiles(const std::vector<FileCopy>& copies, bool fail_if_exists, BatchEnd end,
                         std::vector<WinError>* results) {
    results->clear();
    for (const FileCopy& copy : copies) {
      results->push_back(Copy(copy.source, copy.target, fail_if_exists));
      if (end == BatchEnd::kStopAtFailure && results->back() != kSuccess) return;
    }
  }
  virtual void DeleteFiles(const std::vector<std::string>& paths, BatchEnd end,
                           std::vector<WinError>* results) {
    results->clear();
    for (const std::string& path : paths) {
      results->push_back(Delete(path));
      if (end == BatchEnd::kStopAtFailure && results->back() != kSuccess) return;
    }
  }

  // Each file made as CreateNewFile would, one after another, with the same batch rules. The
  // caller names each file once: a port that makes several at once cannot tell two spellings of
  // one name apart.
  virtual void CreateFiles(const std::vector<NewFile>& files, BatchEnd end,
                           std::vector<WinError>* results) {
    results->clear();
    for (const NewFile& file : files) {
      results->push_back(CreateNewFile(file));
      if (end == BatchEnd::kStopAtFailure && results->back() != kSuccess) return;
    }
  }
  // Creates `file.path` as a new file (Open with kCreateNew, so kErrorFileExists where anything
  // is there), writes its bytes, sets its stamp through the open file and, once closed, its
  // attributes where they are not a new file's own. The outcome is that of the creation and the
  // writing: a file whose stamp or attributes could not be set is in place and counts as made.
  WinError CreateNewFile(const NewFile& file);

  // Creates one folder level. kErrorAlreadyExists when something is at the path,
  // kErrorPathNotFound when the parent is missing.
  virtual WinError MakeFolder(const std::string& path) = 0;
  // Removes an empty folder; kErrorDirNotEmpty otherwise.
  virtual WinError RemoveFolder(const std::string& path) = 0;

  // Bytes free for the caller on the drive of `root` ("C:\").
  virtual WinError FreeSpace(const std::string& root, uint64_t* free_bytes) = 0;
  // The kind of drive of a root such as "C:\" or "C:"; kDriveNoRootDir when absent.
  virtual uint32_t DriveKind(const std::string& root) = 0;
  // File-system name of a drive root, such as "NTFS" or "FAT32".
  virtual WinError VolumeFileSystem(const std::string& root, std::string* name) = 0;

  // The discretionary access list of a file or folder. `*present` is false for an object
  // without a DACL (everyone has access).
  virtual WinError ReadDacl(const std::string& path, bool* present, Acl* dacl) = 0;
  virtual WinError WriteDacl(const std::string& path, const Acl& dacl) = 0;

  // GetFullPathName, then GetLongPathName where the path exists: "/" becomes "\", runs of
  // separators one, "." and ".." components are resolved (".." stops at the root), the last
  // component loses its trailing dots and spaces, and a trailing separator stays. Components keep
  // the spelling given. Absolute paths only ("C:\..." or "\\server\share\..."): a relative or
  // drive-relative path or a device path ("\\?\", "\\.\") gives kErrorInvalidName, a result of
  // MAX_PATH characters or more kErrorFilenameExcedRange.
  virtual WinError FullPath(const std::string& path, std::string* full) = 0;

  // A unique name for a temporary file in the machine's temporary folder, beginning with
  // `prefix` (the runtime library's _tempnam with no folder).
  virtual WinError TempFileName(const std::string& prefix, std::string* path) = 0;
};

inline constexpr WinError kErrorNotSameDevice = 17;

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_FILE_SYSTEM_H_
