// A platform that passes every call to another one and tells a StepRecorder about each call
// of the file-system port and of the files it opens.
#ifndef QDW_BENCH_SMALL_FILES_COUNTING_PLATFORM_H_
#define QDW_BENCH_SMALL_FILES_COUNTING_PLATFORM_H_

#include <memory>
#include <string>
#include <vector>

#include "bench/small_files/step_recorder.h"
#include "platform/platform.h"

namespace qdw::bench {

class CountingFileSystem : public platform::FileSystem {
 public:
  CountingFileSystem(platform::FileSystem& inner, StepRecorder& recorder)
      : inner_(inner), recorder_(recorder) {}

  platform::WinError Open(const std::string& path, uint32_t access, uint32_t share,
                          platform::Disposition disposition, uint32_t flags_and_attributes,
                          std::unique_ptr<platform::File>* out) override;
  platform::WinError ReadAttributes(const std::string& path, uint32_t* attributes) override;
  platform::WinError WriteAttributes(const std::string& path, uint32_t attributes) override;
  platform::WinError Find(const std::string& pattern,
                          std::vector<platform::DirEntry>* entries) override;
  // Counted as a Find: the steps are told apart by the same calls either way.
  platform::WinError FindNamesAndAttributes(const std::string& pattern,
                                            std::vector<platform::DirEntry>* entries) override;
  platform::WinError Copy(const std::string& source, const std::string& target,
                          bool fail_if_exists) override;
  platform::WinError Move(const std::string& source, const std::string& target) override;
  platform::WinError Replace(const std::string& source, const std::string& target) override;
  platform::WinError Delete(const std::string& path) override;
  // Each item counts as its single call; the batch's time counts once.
  void CopyFiles(const std::vector<platform::FileCopy>& copies, bool fail_if_exists, BatchEnd end,
                 std::vector<platform::WinError>* results) override;
  void DeleteFiles(const std::vector<std::string>& paths, BatchEnd end,
                   std::vector<platform::WinError>* results) override;
  // Each new file counts as the Open that makes it.
  void CreateFiles(const std::vector<platform::NewFile>& files, BatchEnd end,
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

 private:
  platform::FileSystem& inner_;
  StepRecorder& recorder_;
};

class CountingPlatform : public platform::Platform {
 public:
  CountingPlatform(platform::Platform& inner, StepRecorder& recorder)
      : inner_(inner), files_(inner.files(), recorder) {}

  platform::FileSystem& files() override { return files_; }
  platform::Registry& registry() override { return inner_.registry(); }
  platform::ServiceManager& services() override { return inner_.services(); }
  platform::Processes& processes() override { return inner_.processes(); }
  platform::Shares& shares() override { return inner_.shares(); }
  platform::ShareProxyFactory& share_proxy() override { return inner_.share_proxy(); }
  platform::Accounts& accounts() override { return inner_.accounts(); }
  platform::Shell& shell() override { return inner_.shell(); }
  platform::SystemInfo& system() override { return inner_.system(); }
  platform::Libraries& libraries() override { return inner_.libraries(); }
  platform::Mutexes& mutexes() override { return inner_.mutexes(); }
  platform::Databases& databases() override { return inner_.databases(); }

 private:
  platform::Platform& inner_;
  CountingFileSystem files_;
};

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_COUNTING_PLATFORM_H_
