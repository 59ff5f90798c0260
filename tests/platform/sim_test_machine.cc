#include "tests/platform/sim_test_machine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qdw::testing {
namespace {

std::string MakeTempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/qdw-machine-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary machine folder");
  }
  return pattern;
}

}  // namespace

sim::Json SimTestMachine::DefaultDescription() {
  const std::string user_sid = "S-1-5-21-1004336348-1177238915-682003330-1001";
  return {
      {"os_version", {{"platform_id", 2}, {"major", 6}, {"minor", 1}, {"build", 7601}}},
      {"computer_name", "WORKSTATION"},
      {"current_user",
       {{"name", "jo"},
        {"domain", "WORKSTATION"},
        {"sid", user_sid},
        {"admin", true},
        {"may_control_services", true}}},
      {"accounts",
       {{{"name", "jo"}, {"domain", "WORKSTATION"}, {"sid", user_sid}},
        {{"name", "Administrators"}, {"domain", "BUILTIN"}, {"sid", "S-1-5-32-544"}},
        {{"name", "Everyone"}, {"domain", ""}, {"sid", "S-1-1-0"}}}},
      {"drives",
       {{"C",
         {{"type", "fixed"}, {"fs", "NTFS"}, {"free_bytes", 50000000000ULL}, {"label", "System"}}},
        {"D",
         {{"type", "fixed"}, {"fs", "FAT32"}, {"free_bytes", 2000000000ULL}, {"label", "DATA"}}},
        {"E", {{"type", "cdrom"}, {"fs", "CDFS"}, {"free_bytes", 0}}}}},
      {"special_folders",
       {{"desktop", "C:\\Users\\jo\\Desktop"},
        {"personal", "C:\\Users\\jo\\Documents"},
        {"common_appdata", "C:\\ProgramData"},
        {"program_files", "C:\\Program Files"},
        {"windows", "C:\\Windows"},
        {"system", "C:\\Windows\\system32"}}},
      {"environment",
       {{"TMP", "C:\\Users\\jo\\AppData\\Local\\Temp"},
        {"TEMP", "C:\\Users\\jo\\AppData\\Local\\Temp"},
        {"ProgramFiles", "C:\\Program Files"},
        {"SystemRoot", "C:\\Windows"},
        {"windir", "C:\\Windows"},
        {"USERPROFILE", "C:\\Users\\jo"},
        {"ALLUSERSPROFILE", "C:\\ProgramData"},
        {"COMPUTERNAME", "WORKSTATION"},
        {"USERNAME", "jo"}}},
      {"time_zone_offset_minutes", 60},
      {"clock", {{"fixed", "2026-12-06T09:05:00"}}},
      {"thread_locale", 1033},
      {"programs", sim::Json::object()},
  };
}

SimTestMachine::SimTestMachine() : SimTestMachine(sim::Json::object()) {}

SimTestMachine::SimTestMachine(const sim::Json& patch) : folder_(MakeTempFolder()) {
  sim::Json description = DefaultDescription();
  description.merge_patch(patch);
  sim::SimMachine::CreateMachineFolder(folder_, description);
  std::filesystem::create_directories(folder_ + "/drives/C/Users/jo/AppData/Local/Temp");
}

SimTestMachine::~SimTestMachine() {
  if (is_default_) {
    platform::SetDefaultPlatformForTesting(nullptr);
    ::unsetenv("QDW_MACHINE");
  }
  platform_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

sim::SimPlatform& SimTestMachine::platform() {
  if (!platform_) platform_ = sim::OpenSimMachine(folder_);
  return *platform_;
}

void SimTestMachine::MakeDefault() {
  platform::SetDefaultPlatformForTesting(&platform());
  ::setenv("QDW_MACHINE", folder_.c_str(), 1);
  is_default_ = true;
}

std::string SimTestMachine::HostPath(const std::string& windows_path) {
  std::string host;
  EXPECT_TRUE(machine().ToHostPath(windows_path, &host)) << windows_path;
  return host;
}

void SimTestMachine::PutFile(const std::string& windows_path, const std::string& content) {
  std::filesystem::path host(HostPath(windows_path));
  std::filesystem::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << content;
  ASSERT_TRUE(out.good()) << windows_path;
}

std::string SimTestMachine::ReadFile(const std::string& windows_path) {
  std::ifstream in(HostPath(windows_path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool SimTestMachine::Exists(const std::string& windows_path) {
  std::error_code ignored;
  return std::filesystem::exists(HostPath(windows_path), ignored);
}

}  // namespace qdw::testing
