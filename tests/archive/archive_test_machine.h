// A stand-in machine installed as the default platform, with the helpers the archive library
// tests share: files with attributes and times, other programs' locks, fault rules, and
// snapshots of folder trees.
#ifndef QDW_TESTS_ARCHIVE_ARCHIVE_TEST_MACHINE_H_
#define QDW_TESTS_ARCHIVE_ARCHIVE_TEST_MACHINE_H_

#include <cstdint>
#include <map>
#include <string>

#include "platform/platform.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {

class ArchiveTestMachine {
 public:
  ArchiveTestMachine();

  SimTestMachine& sim() { return machine_; }
  platform::Platform& platform() { return machine_.platform(); }
  std::string HostPath(const std::string& windows_path) { return machine_.HostPath(windows_path); }

  void PutFile(const std::string& path, const std::string& content) {
    machine_.PutFile(path, content);
  }
  std::string ReadFile(const std::string& path) { return machine_.ReadFile(path); }
  bool Exists(const std::string& path) { return machine_.Exists(path); }
  // Creates a folder and its parents behind the ports' back.
  void MakeFolder(const std::string& path);
  // Writes the file `name` into the existing `folder` behind the ports' back, also when the
  // full path is longer than the machine would accept (as Windows' "\\?\" paths allow).
  void PutFileBeyondLimit(const std::string& folder, const std::string& name,
                          const std::string& content);

  void SetLastWrite(const std::string& path, platform::FileTime utc);
  platform::FileTimes Times(const std::string& path);
  void SetAttributes(const std::string& path, uint32_t attributes);
  uint32_t Attributes(const std::string& path);

  // Another program holds the file open for writing and shares nothing.
  void HoldWithoutSharing(const std::string& path);
  // Every call of `operation` on a path matching `pattern` fails with `error`.
  void FailAlways(const std::string& operation, const std::string& pattern,
                  platform::WinError error);

  // Every file below `folder`: stored-style name ("A\B\x.txt") to content.
  std::map<std::string, std::string> Tree(const std::string& folder);

 private:
  SimTestMachine machine_;
};

// Sets a process environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const std::string& name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  bool had_value_ = false;
  std::string old_value_;
};

// 2026-03-14 15:09:26 UTC as a file time (even seconds, so MS-DOS time keeps it exactly).
platform::FileTime SampleUtcTime();

}  // namespace qdw::testing

#endif  // QDW_TESTS_ARCHIVE_ARCHIVE_TEST_MACHINE_H_
