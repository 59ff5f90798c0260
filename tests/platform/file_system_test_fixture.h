// Shared set-up of the file-system suites: reading and writing through the port, and the
// fixture of the contract suites, which run against the port of this build.
#ifndef QDW_TESTS_PLATFORM_FILE_SYSTEM_TEST_FIXTURE_H_
#define QDW_TESTS_PLATFORM_FILE_SYSTEM_TEST_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {

class FileSystemCases : public ::testing::Test {
 protected:
  virtual FileSystem& fs() = 0;

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

  // 2003-04-05 06:00 UTC, a time no file of a test has by itself.
  static FileTime April2003() {
    CalendarTime when;
    when.year = 2003;
    when.month = 4;
    when.day = 5;
    when.hour = 6;
    FileTime time;
    EXPECT_TRUE(CalendarToFileTime(when, &time));
    return time;
  }

  // The root of a drive letter the machine does not have ("Q:\").
  std::string MissingDrive() {
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
      const std::string root = std::string(1, letter) + ":\\";
      if (fs().DriveKind(root) == kDriveNoRootDir) return root;
    }
    ADD_FAILURE() << "every drive letter from Q to Y is in use";
    return "Q:\\";
  }
};

// The contract suites' fixture: the port of this build with a scratch folder.
class FileSystemContractTest : public FileSystemCases {
 protected:
  FileSystem& fs() override { return port_->platform().files(); }
  std::string S(const std::string& relative) { return port_->Scratch(relative); }

  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
};

}  // namespace qdw::platform

#endif  // QDW_TESTS_PLATFORM_FILE_SYSTEM_TEST_FIXTURE_H_
