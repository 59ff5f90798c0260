// Shared set-up of the file-system contract suites: a fresh machine, the port under test,
// and the few machine-side hooks (other programs' locks, faults) the contract needs.
#ifndef QDW_TESTS_PLATFORM_FILE_SYSTEM_TEST_FIXTURE_H_
#define QDW_TESTS_PLATFORM_FILE_SYSTEM_TEST_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {

class FileSystemContractTest : public ::testing::Test {
 protected:
  FileSystem& fs() { return machine_.platform().files(); }

  // Creates or replaces a file through the port.
  void Write(const std::string& path, const std::string& content) {
    std::unique_ptr<File> file;
    ASSERT_EQ(
        fs().Open(path, kGenericWrite, kShareNone, Disposition::kCreateAlways, kAttrNormal, &file),
        kSuccess)
        << path;
    uint32_t written = 0;
    ASSERT_EQ(file->Write(content.data(), static_cast<uint32_t>(content.size()), &written),
              kSuccess);
  }

  // The whole file through the port, sharing read and write as a viewer does; "<error N>" when it
  // cannot be opened.
  std::string Read(const std::string& path) {
    std::unique_ptr<File> file;
    WinError error = fs().Open(path, kGenericRead, kShareRead | kShareWrite,
                               Disposition::kOpenExisting, 0, &file);
    if (error != kSuccess) return "<error " + std::to_string(error) + ">";
    std::string content;
    char buffer[4096];
    uint32_t read = 0;
    while (file->Read(buffer, sizeof(buffer), &read) == kSuccess && read > 0) {
      content.append(buffer, read);
    }
    return content;
  }

  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<DirEntry> entries;
    fs().Find(pattern, &entries);
    std::vector<std::string> names;
    for (const DirEntry& entry : entries) names.push_back(entry.name);
    return names;
  }

  uint32_t Attributes(const std::string& path) {
    uint32_t attributes = 0;
    fs().ReadAttributes(path, &attributes);
    return attributes;
  }

  // Another program holds the file open with the given sharing.
  void HoldByOtherProgram(const std::string& path, uint32_t share) {
    machine_.machine().store().Update("locks.json", [&](sim::Json& doc) {
      doc["locks"].push_back({{"path", path}, {"share", share}, {"program", "QDW.EXE"}});
      return true;
    });
  }

  testing::SimTestMachine machine_;
};

}  // namespace qdw::platform

#endif  // QDW_TESTS_PLATFORM_FILE_SYSTEM_TEST_FIXTURE_H_
