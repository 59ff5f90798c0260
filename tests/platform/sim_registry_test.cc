// What only the stand-in machine's registry shows: a user without administrator rights, the
// hive files people may edit, two processes of one machine, and injected faults.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_platform.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

constexpr uint32_t kWriteAndEnumerate = kKeyWrite | kKeyEnumerateSubKeys;
const char kProductKey[] = "SOFTWARE\\VARNOLD\\Quillon Deskora";

std::vector<uint8_t> Text(const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

std::unique_ptr<RegistryKey> MustCreate(Registry& registry, Hive hive, const std::string& path) {
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(registry.CreateKey(hive, path, kWriteAndEnumerate | kKeyRead, &key, nullptr), kSuccess)
      << path;
  return key;
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(RegistryHivesTest, MachineKeysLiveInTheirOwnHive) {
  SimTestMachine m;
  MustCreate(m.platform().registry(), Hive::kLocalMachine, std::string(kProductKey) + "\\QDW");
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(m.platform().registry().OpenKey(
                Hive::kLocalMachine, "software\\varnold\\QUILLON DESKORA\\qdw", kKeyRead, &key),
            kSuccess);
  EXPECT_EQ(m.platform().registry().OpenKey(Hive::kCurrentUser, kProductKey, kKeyRead, &key),
            kErrorFileNotFound);
}

TEST(RegistryAccessTest, AUserWithoutAdministratorRightsMayOnlyReadMachineKeys) {
  SimTestMachine admin;
  {
    Registry& registry = admin.platform().registry();
    auto key = MustCreate(registry, Hive::kLocalMachine, std::string(kProductKey) + "\\QDW");
    ASSERT_EQ(key->SetValue("Product_Type", kRegSz, Text("2")), kSuccess);
  }
  // The same machine, now with a user who is not an administrator.
  std::string description = ReadHostFile(admin.folder() + "/machine.json");
  sim::Json json = sim::Json::parse(description);
  json["current_user"]["admin"] = false;
  json["registry"]["deny_write"] = {"HKCU\\Software\\Locked"};
  sim::MachineStore(admin.folder()).Write("machine.json", json);
  auto platform = sim::OpenSimMachine(admin.folder());
  Registry& registry = platform->registry();

  std::unique_ptr<RegistryKey> key;
  const std::string common = std::string(kProductKey) + "\\QDW";
  EXPECT_EQ(registry.OpenKey(Hive::kLocalMachine, common, kWriteAndEnumerate, &key),
            kErrorAccessDenied);
  EXPECT_EQ(registry.CreateKey(Hive::kLocalMachine, common + "\\New", kKeyRead, &key, nullptr),
            kErrorAccessDenied);
  ASSERT_EQ(registry.OpenKey(Hive::kLocalMachine, common, kKeyRead, &key), kSuccess);
  EXPECT_EQ(key->DeleteSubKey("Anything"), kErrorAccessDenied);
  // An existing machine key opens through CreateKey when only reading is asked for.
  EXPECT_EQ(registry.CreateKey(Hive::kLocalMachine, common, kKeyRead, &key, nullptr), kSuccess);

  EXPECT_EQ(registry.CreateKey(Hive::kCurrentUser, "Software\\Mine", kKeyWrite, &key, nullptr),
            kSuccess);
  EXPECT_EQ(
      registry.CreateKey(Hive::kCurrentUser, "Software\\Locked\\Sub", kKeyWrite, &key, nullptr),
      kErrorAccessDenied);
}

TEST(RegistryFileTest, HivesAreReadableFilesThatPeopleMayEdit) {
  SimTestMachine m;
  {
    auto key = MustCreate(m.platform().registry(), Hive::kLocalMachine, kProductKey);
    ASSERT_EQ(key->SetValue("Display_Version", kRegSz, Text("2.5 \"beta\" C:\\x")), kSuccess);
    ASSERT_EQ(key->SetValue("Flags", kRegDword, {0x0a, 0, 0, 0}), kSuccess);
  }
  std::string text = ReadHostFile(m.folder() + "/registry/HKLM.reg");
  EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VARNOLD\\Quillon Deskora]\n"
                      "\"Display_Version\"=\"2.5 \\\"beta\\\" C:\\\\x\"\n"
                      "\"Flags\"=dword:0000000a\n"),
            std::string::npos)
      << text;

  // A person edits the file; the port sees the change.
  std::ofstream(m.folder() + "/registry/HKLM.reg", std::ios::trunc)
      << "REGEDIT4\r\n\r\n; edited by hand\r\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VARNOLD\\Quillon Deskora]\r\n"
         "\"Display_Version\"=\"3.0\"\r\n";
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(m.platform().registry().OpenKey(Hive::kLocalMachine, kProductKey, kKeyRead, &key),
            kSuccess);
  uint32_t type = 0;
  std::vector<uint8_t> data;
  ASSERT_EQ(key->QueryValue("Display_Version", 16, &type, &data), kSuccess);
  EXPECT_EQ(data, Text("3.0"));
  EXPECT_EQ(key->QueryValue("Flags", 4, &type, &data), kErrorFileNotFound);

  // A damaged hive is an error, never an empty registry.
  std::ofstream(m.folder() + "/registry/HKLM.reg", std::ios::trunc) << "REGEDIT4\n[HKEY_LOCAL";
  EXPECT_EQ(m.platform().registry().OpenKey(Hive::kLocalMachine, kProductKey, kKeyRead, &key),
            1009u);
}

TEST(RegistryFileTest, TwoProcessesOfOneMachineSeeEachOthersChanges) {
  SimTestMachine m;
  auto other = sim::OpenSimMachine(m.folder());
  auto mine = MustCreate(m.platform().registry(), Hive::kCurrentUser, "Software\\Shared");
  auto theirs = MustCreate(other->registry(), Hive::kCurrentUser, "Software\\Shared");
  ASSERT_EQ(mine->SetValue("a", kRegSz, Text("1")), kSuccess);
  ASSERT_EQ(theirs->SetValue("b", kRegSz, Text("2")), kSuccess);
  uint32_t type = 0;
  std::vector<uint8_t> data;
  EXPECT_EQ(mine->QueryValue("b", 10, &type, &data), kSuccess);
  EXPECT_EQ(theirs->QueryValue("a", 10, &type, &data), kSuccess);
}

TEST(RegistryFaultTest, InjectedFaultsFailTheNamedOperation) {
  SimTestMachine m;
  auto key = MustCreate(m.platform().registry(), Hive::kCurrentUser, "Software\\A");
  m.machine().faults().AddRule("Registry.OpenKey", 2, kErrorAccessDenied, "*\\Software\\A");
  m.machine().faults().AddRule("Registry.SetValue", 1, kErrorWriteFault, "*\\A\\Broken");
  std::unique_ptr<RegistryKey> opened;
  EXPECT_EQ(m.platform().registry().OpenKey(Hive::kCurrentUser, "Software\\A", kKeyRead, &opened),
            kSuccess);
  EXPECT_EQ(m.platform().registry().OpenKey(Hive::kCurrentUser, "Software\\A", kKeyRead, &opened),
            kErrorAccessDenied);
  EXPECT_EQ(key->SetValue("Fine", kRegSz, Text("1")), kSuccess);
  EXPECT_EQ(key->SetValue("Broken", kRegSz, Text("1")), kErrorWriteFault);
  EXPECT_EQ(key->SetValue("Broken", kRegSz, Text("1")), kSuccess);
}

}  // namespace
}  // namespace qdw::platform
