#include "tests/archive/archive_test_machine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace qdw::testing {

ArchiveTestMachine::ArchiveTestMachine() { machine_.MakeDefault(); }

void ArchiveTestMachine::MakeFolder(const std::string& path) {
  std::filesystem::create_directories(HostPath(path));
}

void ArchiveTestMachine::PutFileBeyondLimit(const std::string& folder, const std::string& name,
                                            const std::string& content) {
  std::filesystem::path host = std::filesystem::path(HostPath(folder)) / name;
  std::filesystem::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << content;
  ASSERT_TRUE(out.good()) << host;
}

void ArchiveTestMachine::SetLastWrite(const std::string& path, platform::FileTime utc) {
  std::unique_ptr<platform::File> file;
  ASSERT_EQ(platform().files().Open(path, platform::kGenericRead | platform::kGenericWrite,
                                    platform::kShareRead, platform::Disposition::kOpenExisting,
                                    platform::kAttrNormal, &file),
            platform::kSuccess)
      << path;
  ASSERT_EQ(file->SetTimes(nullptr, nullptr, &utc), platform::kSuccess);
}

platform::FileTimes ArchiveTestMachine::Times(const std::string& path) {
  platform::FileTimes times;
  std::unique_ptr<platform::File> file;
  platform::WinError opened =
      platform().files().Open(path, platform::kGenericRead, platform::kShareRead,
                              platform::Disposition::kOpenExisting, platform::kAttrNormal, &file);
  EXPECT_EQ(opened, platform::kSuccess) << path;
  if (file != nullptr) {
    EXPECT_EQ(file->Times(&times), platform::kSuccess);
  }
  return times;
}

void ArchiveTestMachine::SetAttributes(const std::string& path, uint32_t attributes) {
  ASSERT_EQ(platform().files().WriteAttributes(path, attributes), platform::kSuccess) << path;
}

uint32_t ArchiveTestMachine::Attributes(const std::string& path) {
  uint32_t attributes = platform::kInvalidAttributes;
  platform::WinError result = platform().files().ReadAttributes(path, &attributes);
  EXPECT_EQ(result, platform::kSuccess) << path;
  return attributes;
}

void ArchiveTestMachine::HoldWithoutSharing(const std::string& path) {
  machine_.machine().store().Update("locks.json", [&](sim::Json& locks) {
    locks["locks"].push_back({{"path", path},
                              {"share", platform::kShareNone},
                              {"access", platform::kGenericRead | platform::kGenericWrite},
                              {"program", "QDW.EXE"}});
    return true;
  });
}

void ArchiveTestMachine::FailAlways(const std::string& operation, const std::string& pattern,
                                    platform::WinError error) {
  machine_.machine().faults().AddRule(operation, 1, error, pattern, 0);
}

std::map<std::string, std::string> ArchiveTestMachine::Tree(const std::string& folder) {
  std::map<std::string, std::string> tree;
  std::filesystem::path root(HostPath(folder));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string name = std::filesystem::relative(entry.path(), root).generic_string();
    for (char& c : name) c = c == '/' ? '\\' : c;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    tree[name] = bytes.str();
  }
  return tree;
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::string& value)
    : name_(name) {
  if (const char* old = ::getenv(name.c_str())) {
    had_value_ = true;
    old_value_ = old;
  }
  ::setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (had_value_) {
    ::setenv(name_.c_str(), old_value_.c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

platform::FileTime SampleUtcTime() {
  platform::CalendarTime calendar;
  calendar.year = 2026;
  calendar.month = 3;
  calendar.day = 14;
  calendar.hour = 15;
  calendar.minute = 9;
  calendar.second = 26;
  platform::FileTime time;
  platform::CalendarToFileTime(calendar, &time);
  return time;
}

}  // namespace qdw::testing
