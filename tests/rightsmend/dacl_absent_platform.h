// A stand-in machine whose files report no DACL at all (an object everyone may use), which
// the stand-in's NTFS never does by itself. Every other call goes to the machine.
#ifndef QDW_TESTS_RIGHTSMEND_DACL_ABSENT_PLATFORM_H_
#define QDW_TESTS_RIGHTSMEND_DACL_ABSENT_PLATFORM_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qdw::testing {

class DaclAbsentFileSystem : public platform::FileSystem {
 public:
  explicit DaclAbsentFileSystem(platform::FileSystem& inner) : inner_(inner) {}
  platform::WinError Open(const std::string& path, uint32_t access, uint32_t share,
                          platform::Disposition disposition, uint32_t flags,
                          std::unique_ptr<platform::File>* out) override {
    return inner_.Open(path, access, share, disposition, flags, out);
  }
  platform::WinError ReadAttributes(const std::string& path, uint32_t* attributes) override {
    return inner_.ReadAttributes(path, attributes);
  }
  platform::WinError WriteAttributes(const std::string& path, uint32_t attributes) override {
    return inner_.WriteAttributes(path, attributes);
  }
  platform::WinError Find(const std::string& pattern,
                          std::vector<platform::DirEntry>* entries) override {
    return inner_.Find(pattern, entries);
  }
  platform::WinError Copy(const std::string& source, const std::string& target,
                          bool fail_if_exists) override {
    return inner_.Copy(source, target, fail_if_exists);
  }
  platform::WinError Move(const std::string& source, const std::string& target) override {
    return inner_.Move(source, target);
  }
  platform::WinError Replace(const std::string& source, const std::string& target) override {
    return inner_.Replace(source, target);
  }
  platform::WinError Delete(const std::string& path) override { return inner_.Delete(path); }
  platform::WinError FullPath(const std::string& path, std::string* full) override {
    return inner_.FullPath(path, full);
  }
  platform::WinError MakeFolder(const std::string& path) override {
    return inner_.MakeFolder(path);
  }
  platform::WinError RemoveFolder(const std::string& path) override {
    return inner_.RemoveFolder(path);
  }
  platform::WinError FreeSpace(const std::string& root, uint64_t* free_bytes) override {
    return inner_.FreeSpace(root, free_bytes);
  }
  uint32_t DriveKind(const std::string& root) override { return inner_.DriveKind(root); }
  platform::WinError VolumeFileSystem(const std::string& root, std::string* name) override {
    return inner_.VolumeFileSystem(root, name);
  }
  platform::WinError ReadDacl(const std::string& path, bool* present,
                              platform::Acl* dacl) override {
    platform::WinError error = inner_.ReadDacl(path, present, dacl);
    *present = false;
    // What a null DACL leaves in the caller's list must not matter.
    dacl->entries.push_back(
        platform::Ace{platform::kAceAccessDenied, 0, 1, platform::Sid::World()});
    return error;
  }
  platform::WinError WriteDacl(const std::string& path, const platform::Acl& dacl) override {
    return inner_.WriteDacl(path, dacl);
  }
  platform::WinError TempFileName(const std::string& prefix, std::string* path) override {
    return inner_.TempFileName(prefix, path);
  }

 private:
  platform::FileSystem& inner_;
};

class DaclAbsentPlatform : public platform::Platform {
 public:
  explicit DaclAbsentPlatform(platform::Platform& inner) : inner_(inner), files_(inner.files()) {}
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
  DaclAbsentFileSystem files_;
};

}  // namespace qdw::testing

#endif  // QDW_TESTS_RIGHTSMEND_DACL_ABSENT_PLATFORM_H_
