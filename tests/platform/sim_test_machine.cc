#include "tests/platform/sim_test_machine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/qdwsim/machine_description.h"

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
  sim::Json description = qdwsim::DefaultMachineDescription("");
  // Where the tests need more than qdwsim's machine: a clock that does not depend on the day
  // they run, a FAT32 drive D: and a CD-ROM E: with known free space, and the well-known
  // groups named in the machine's own list, where a test gives them another language's names.
  description["clock"] = {{"fixed", "2026-12-06T09:05:00"}};
  description["drives"] = {
      {"C",
       {{"type", "fixed"}, {"fs", "NTFS"}, {"free_bytes", 50000000000ULL}, {"label", "System"}}},
      {"D", {{"type", "fixed"}, {"fs", "FAT32"}, {"free_bytes", 2000000000ULL}, {"label", "DATA"}}},
      {"E", {{"type", "cdrom"}, {"fs", "CDFS"}, {"free_bytes", 0}}}};
  description["accounts"].push_back(
      {{"name", "Administrators"}, {"domain", "BUILTIN"}, {"sid", "S-1-5-32-544"}});
  description["accounts"].push_back({{"name", "Everyone"}, {"domain", ""}, {"sid", "S-1-1-0"}});
  return description;
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
