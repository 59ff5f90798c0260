// The runtime library's low-level file functions (_open, _read, _write, _close, _lseek,
// remove) over the platform's files. The cabinet library's callbacks work with small integer
// handles; this process-wide table maps them to open platform::File objects.
#ifndef QDW_ARCHIVE_RUNTIME_FILES_H_
#define QDW_ARCHIVE_RUNTIME_FILES_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/file_system.h"

namespace qdw::archive {

class RuntimeFiles {
 public:
  // Count returned by Read and Write when nothing could be transferred.
  static constexpr unsigned int kFailedCount = static_cast<unsigned int>(-1);
  // Most files open at once, as in the runtime library.
  static constexpr size_t kMaxOpenFiles = 2048;

  // The table of this process; files are opened on platform::DefaultPlatform().
  static RuntimeFiles& Instance();

  // Every `error` argument may be null; when given it receives the runtime error number of a
  // failure and is left alone otherwise.

  // A handle (never 0) or -1. Paths of kMaxPath characters or more are refused.
  intptr_t Open(const char* path, int oflag, int pmode, int* error);
  // A handle (never 0) for a file already opened through the platform, or -1 when the table
  // is full (the file is then closed).
  intptr_t Adopt(std::unique_ptr<platform::File> file, int* error);
  // Bytes read (0 at end of file) or kFailedCount.
  unsigned int Read(intptr_t handle, void* buffer, unsigned int count, int* error);
  // Bytes written (fewer than `count` when the drive filled up) or kFailedCount.
  unsigned int Write(intptr_t handle, const void* buffer, unsigned int count, int* error);
  // 0, or -1 for a handle that is not open.
  int Close(intptr_t handle, int* error);
  // The new position, or -1. `origin` is CAB_SEEK_SET, CAB_SEEK_CUR or CAB_SEEK_END.
  long Seek(intptr_t handle, long distance, int origin, int* error);
  // Sets creation and last-write time of an open file (null: unchanged): 0, or -1.
  int SetTimes(intptr_t handle, const platform::FileTime* creation,
               const platform::FileTime* last_write);
  // Deletes a file: 0, or -1.
  int Remove(const char* path, int* error);

  // Closes every handle still open (what an abandoned call left behind).
  void CloseAll();
  size_t OpenCount() const;

 private:
  struct Entry {
    std::unique_ptr<platform::File> file;
    bool append = false;
  };
  std::shared_ptr<Entry> Find(intptr_t handle) const;
  // Puts an open entry into the first free slot.
  intptr_t Place(std::shared_ptr<Entry> entry, int* error);

  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Entry>> slots_;
};

}  // namespace qdw::archive

#endif  // QDW_ARCHIVE_RUNTIME_FILES_H_
