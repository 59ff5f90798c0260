// An open file of the stand-in machine: a host file descriptor registered in the sharing
// table for as long as the object lives.
#ifndef QDW_PLATFORM_SIM_SIM_FILE_H_
#define QDW_PLATFORM_SIM_SIM_FILE_H_

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_metadata.h"
#include "platform/sim/sim_sharing.h"

namespace qdw::sim {

// What the file system and its open files share; files keep it alive. Handles are seen by
// every file system of the process over the same machine, as Windows handles are.
struct FileSystemState {
  explicit FileSystemState(SimMachine& m)
      : machine(m), sharing(SharingTable::ForMachine(m.folder(), m.CodePage())), meta(m.folder()) {}
  SimMachine& machine;
  std::shared_ptr<SharingTable> sharing;
  MetadataStore meta;
};

class SimFile : public platform::File {
 public:
  // Takes ownership of `fd` and of the sharing `ticket` of the file whose CanonicalPath() is
  // `key`; `node` is where its metadata lives, both as the opening call spelt them. Writes are
  // charged to `drive`.
  SimFile(std::shared_ptr<FileSystemState> state, char drive, std::string key, SidecarNode node,
          int fd, uint32_t access, uint64_t ticket);
  ~SimFile() override;
  SimFile(const SimFile&) = delete;
  SimFile& operator=(const SimFile&) = delete;

  platform::WinError Read(void* buffer, uint32_t size, uint32_t* read) override;
  platform::WinError Write(const void* buffer, uint32_t size, uint32_t* written) override;
  platform::WinError Seek(int64_t distance, platform::SeekOrigin origin,
                          uint64_t* position) override;
  platform::WinError Size(uint64_t* size) override;
  platform::WinError Times(platform::FileTimes* times) override;
  platform::WinError SetTimes(const platform::FileTime* creation,
                              const platform::FileTime* last_access,
                              const platform::FileTime* last_write) override;
  platform::WinError SetEnd() override;
  platform::WinError Flush() override;

 private:
  std::shared_ptr<FileSystemState> state_;
  char drive_;
  std::string key_;  // also the path fault rules see
  SidecarNode node_;
  int fd_;
  uint32_t access_;
  uint64_t ticket_;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_FILE_H_
