#include "settings/product_settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/platform/sim_test_machine.h"

namespace qdw::settings {
namespace {

using platform::Hive;
using platform::kSuccess;

constexpr char kUserSharesKey[] =
    "Software\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders\\WORKSTATION/jo";

class ProductSettingsTest : public ::testing::Test {
 protected:
  void SetRaw(Hive hive, const std::string& key, const std::string& value, uint32_t type,
              const std::vector<uint8_t>& data) {
    std::unique_ptr<platform::RegistryKey> handle;
    ASSERT_EQ(registry().CreateKey(hive, key, platform::kKeyWrite, &handle, nullptr), kSuccess);
    ASSERT_EQ(handle->SetValue(value, type, data), kSuccess);
  }
  void SetText(Hive hive, const std::string& key, const std::string& value,
               const std::string& text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetRaw(hive, key, value, platform::kRegSz, data);
  }
  void MakeKey(Hive hive, const std::string& key) {
    std::unique_ptr<platform::RegistryKey> handle;
    ASSERT_EQ(registry().CreateKey(hive, key, platform::kKeyWrite, &handle, nullptr), kSuccess);
  }
  bool KeyExists(Hive hive, const std::string& key) {
    std::unique_ptr<platform::RegistryKey> handle;
    return registry().OpenKey(hive, key, platform::kKeyRead, &handle) == kSuccess;
  }
  void ReadRaw(const std::string& key, const std::string& value, uint32_t* type,
               std::vector<uint8_t>* data) {
    std::unique_ptr<platform::RegistryKey> handle;
    ASSERT_EQ(registry().OpenKey(Hive::kLocalMachine, key, platform::kKeyRead, &handle), kSuccess);
    ASSERT_EQ(handle->QueryValue(value, 4096, type, data), kSuccess);
  }
  void SetUserRepository(const std::string& subkey, const std::string& path) {
    SetText(Hive::kCurrentUser, std::string(kProductKey) + "\\" + subkey, "Repository Path", path);
  }
  std::vector<std::string> ReadShares() {
    std::vector<std::string> entries;
    EXPECT_TRUE(settings_.ReadUserSharedFolders(&entries));
    return entries;
  }

  platform::Registry& registry() { return machine_.platform().registry(); }
  const sim::FaultInjector& faults() { return machine_.machine().faults(); }

  testing::SimTestMachine machine_;
  ProductSettings settings_{machine_.platform()};
};

TEST_F(ProductSettingsTest, UserRepositoryPathComesFromTheFirstSubkeyOnly) {
  std::string path = "stale";
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path));
  EXPECT_EQ(path, "");

  MakeKey(Hive::kCurrentUser, kProductKey);
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path)) << "a product key without subkey";

  SetUserRepository("QDW", "C:\\Users\\jo\\Documents");
  SetUserRepository("AAA", "C:\\First");
  ASSERT_TRUE(settings_.ReadUserRepositoryPath(&path));
  EXPECT_EQ(path, "C:\\First");
}

TEST_F(ProductSettingsTest, UserRepositoryPathFailsWithoutTheValue) {
  MakeKey(Hive::kCurrentUser, std::string(kProductKey) + "\\QDW");
  std::string path = "stale";
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path));
  EXPECT_EQ(path, "");
}

TEST_F(ProductSettingsTest, TextEndsAtTheFirstZeroAndNeverPastTheData) {
  std::string path;
  const std::string key = std::string(kProductKey) + "\\QDW";
  // Stored without a terminator, as binary data.
  SetRaw(Hive::kCurrentUser, key, "Repository Path", platform::kRegBinary, {'C', ':', '\\', 'R'});
  ASSERT_TRUE(settings_.ReadUserRepositoryPath(&path));
  EXPECT_EQ(path, "C:\\R");

  SetRaw(Hive::kCurrentUser, key, "Repository Path", platform::kRegSz,
         {'C', ':', '\\', 'A', 0, 'x', 'y', 0});
  ASSERT_TRUE(settings_.ReadUserRepositoryPath(&path));
  EXPECT_EQ(path, "C:\\A");

  // Data that fills the 1024-byte buffer without a zero has no room for the terminator.
  SetRaw(Hive::kCurrentUser, key, "Repository Path", platform::kRegBinary,
         std::vector<uint8_t>(1024, 'x'));
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path));

  SetText(Hive::kCurrentUser, key, "Repository Path", std::string(1023, 'y'));
  ASSERT_TRUE(settings_.ReadUserRepositoryPath(&path));
  EXPECT_EQ(path.size(), 1023u);

  SetText(Hive::kCurrentUser, key, "Repository Path", std::string(1024, 'y'));
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path));
}

TEST_F(ProductSettingsTest, MachineRepositoryPath) {
  std::string path;
  EXPECT_FALSE(settings_.ReadMachineRepositoryPath(&path));
  SetText(Hive::kLocalMachine, kCommonSettingsKey, "Repository Path", "C:\\ProgramData\\Repo");
  ASSERT_TRUE(settings_.ReadMachineRepositoryPath(&path));
  EXPECT_EQ(path, "C:\\ProgramData\\Repo");
}

TEST_F(ProductSettingsTest, ProductVersionFitsSixteenBytesAndReportsTheShareProduct) {
  std::string version = "stale";
  bool share_absent = false;
  EXPECT_FALSE(settings_.ReadProductVersion(&version, &share_absent));
  EXPECT_EQ(version, "");

  SetText(Hive::kLocalMachine, kProductKey, "Display_Version", "2.1.0.1234567890");  // 16
  EXPECT_FALSE(settings_.ReadProductVersion(&version, &share_absent));
  EXPECT_EQ(version, "");

  SetText(Hive::kLocalMachine, kProductKey, "Display_Version", "2.1.0.123456789");  // 15
  ASSERT_TRUE(settings_.ReadProductVersion(&version, &share_absent));
  EXPECT_EQ(version, "2.1.0.123456789");
  EXPECT_TRUE(share_absent);

  MakeKey(Hive::kLocalMachine, kShareProductKey);
  ASSERT_TRUE(settings_.ReadProductVersion(&version, &share_absent));
  EXPECT_FALSE(share_absent);
  EXPECT_EQ(version, "2.1.0.123456789");
}

TEST_F(ProductSettingsTest, ProductType) {
  std::string type;
  EXPECT_FALSE(settings_.ReadProductType(&type));
  SetText(Hive::kLocalMachine, kProductKey, "Product_Type", "2");
  ASSERT_TRUE(settings_.ReadProductType(&type));
  EXPECT_EQ(type, "2");
}

TEST_F(ProductSettingsTest, CanWriteNeedsTheKeyAndTheRight) {
  bool writable = true;
  EXPECT_TRUE(settings_.CanWriteProductSettings(&writable));
  EXPECT_FALSE(writable) << "the key is missing";
  MakeKey(Hive::kLocalMachine, kCommonSettingsKey);
  EXPECT_TRUE(settings_.CanWriteProductSettings(&writable));
  EXPECT_TRUE(writable);
}

TEST(ProductSettingsWithoutAdminTest, MachineSettingsAreNotWritable) {
  testing::SimTestMachine machine(sim::Json{{"current_user", {{"admin", false}}}});
  ProductSettings settings(machine.platform());
  bool writable = true;
  EXPECT_TRUE(settings.CanWriteProductSettings(&writable));
  EXPECT_FALSE(writable);
  EXPECT_FALSE(settings.WriteUserSharedFolders({"Box"}, {"C:\\Box"}));
}

TEST_F(ProductSettingsTest, SharedFoldersAreReadFromTheFirstSubkeyInEnumerationOrder) {
  std::vector<std::string> entries{"stale"};
  EXPECT_FALSE(settings_.ReadUserSharedFolders(&entries)) << "the product is not installed";
  EXPECT_TRUE(entries.empty());
  MakeKey(Hive::kLocalMachine, kMachineProductKey);
  EXPECT_TRUE(ReadShares().empty()) << "a product key without subkey";
  const std::string user =
      "Software\\VARNOLD\\Quillon Deskora\\AAA\\Shared Folders\\"
      "WORKSTATION/jo";
  SetText(Hive::kLocalMachine, user + "\\Zeta", "Path", "C:\\Zeta");
  SetText(Hive::kLocalMachine, user + "\\Alpha", "Path", "D:\\Alpha, with comma");
  MakeKey(Hive::kLocalMachine, user + "\\NoPath");
  // Entries of another user and of a later product subkey are not the current user's.
  SetText(Hive::kLocalMachine,
          "Software\\VARNOLD\\Quillon Deskora\\AAA\\Shared Folders\\WORKSTATION/ann\\X", "Path",
          "C:\\X");
  SetText(Hive::kLocalMachine, std::string(kUserSharesKey) + "\\Other", "Path", "C:\\Other");
  EXPECT_EQ(ReadShares(),
            (std::vector<std::string>{"Alpha,D:\\Alpha, with comma", "Zeta,C:\\Zeta"}));
}

TEST_F(ProductSettingsTest, WriteReplacesTheUsersEntriesWithFixedSizeValues) {
  SetText(Hive::kLocalMachine, std::string(kUserSharesKey) + "\\Old", "Path", "C:\\Old");
  MakeKey(Hive::kLocalMachine, std::string(kUserSharesKey) + "\\OldWithoutPath");
  SetText(Hive::kLocalMachine,
          "Software\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders\\WORKSTATION/ann\\Keep", "Path",
          "C:\\Keep");

  ASSERT_TRUE(settings_.WriteUserSharedFolders({"Box", "Team"}, {"C:\\Box", "D:\\Team"}));
  EXPECT_EQ(ReadShares(), (std::vector<std::string>{"Box,C:\\Box", "Team,D:\\Team"}));
  EXPECT_FALSE(KeyExists(Hive::kLocalMachine, std::string(kUserSharesKey) + "\\OldWithoutPath"));
  EXPECT_TRUE(KeyExists(Hive::kLocalMachine,
                        "Software\\VARNOLD\\Quillon Deskora\\QDW\\"
                        "Shared Folders\\WORKSTATION/ann\\Keep"));

  uint32_t type = 0;
  std::vector<uint8_t> data;
  ReadRaw(std::string(kUserSharesKey) + "\\Box", "Path", &type, &data);
  EXPECT_EQ(type, platform::kRegSz);
  ASSERT_EQ(data.size(), 1024u);
  EXPECT_EQ(std::string(data.begin(), data.begin() + 6), "C:\\Box");
  EXPECT_EQ(data[6], 0);
  EXPECT_EQ(data[1023], 0);
}

TEST_F(ProductSettingsTest, WriteNeedsTheProductKey) {
  EXPECT_FALSE(settings_.WriteUserSharedFolders({"Box"}, {"C:\\Box"}));
  EXPECT_FALSE(KeyExists(Hive::kLocalMachine, kSharedFoldersKey));
}

TEST_F(ProductSettingsTest, WriteOfEmptyListsRemovesAllButKeepsTheUserKey) {
  MakeKey(Hive::kLocalMachine, kWritableProductKey);
  ASSERT_TRUE(settings_.WriteUserSharedFolders({"Box"}, {"C:\\Box"}));
  ASSERT_TRUE(settings_.WriteUserSharedFolders({}, {}));
  EXPECT_TRUE(ReadShares().empty());
  EXPECT_TRUE(KeyExists(Hive::kLocalMachine, kUserSharesKey));
}

TEST_F(ProductSettingsTest, WriteRefusesWhatDoesNotFitBeforeChangingAnything) {
  MakeKey(Hive::kLocalMachine, kWritableProductKey);
  ASSERT_TRUE(settings_.WriteUserSharedFolders({"Box"}, {"C:\\Box"}));
  EXPECT_TRUE(settings_.WriteUserSharedFolders({"Long"}, {std::string(1023, 'p')}));
  ASSERT_TRUE(settings_.WriteUserSharedFolders({"Box"}, {"C:\\Box"}));

  EXPECT_FALSE(settings_.WriteUserSharedFolders({"Long"}, {std::string(1024, 'p')}));
  EXPECT_FALSE(settings_.WriteUserSharedFolders({"A", "B"}, {"C:\\A"}));
  EXPECT_FALSE(settings_.WriteUserSharedFolders({"A\\B"}, {"C:\\A"}));
  EXPECT_FALSE(settings_.WriteUserSharedFolders({""}, {"C:\\A"}));
  EXPECT_EQ(ReadShares(), (std::vector<std::string>{"Box,C:\\Box"}));
}

TEST_F(ProductSettingsTest, InjectedRegistryFaultsReachEveryFailureBranch) {
  MakeKey(Hive::kLocalMachine, kWritableProductKey);
  SetUserRepository("QDW", "C:\\Repo");
  std::string path;
  faults().AddRule("Registry.OpenKey", 1, platform::kErrorAccessDenied);
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path));
  faults().Clear();
  faults().AddRule("Registry.OpenKey", 2, platform::kErrorAccessDenied);
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path));
  faults().Clear();
  faults().AddRule("Registry.EnumSubKey", 1, platform::kErrorAccessDenied);
  EXPECT_FALSE(settings_.ReadUserRepositoryPath(&path));
  faults().Clear();
  ASSERT_TRUE(settings_.ReadUserRepositoryPath(&path));

  ASSERT_TRUE(settings_.WriteUserSharedFolders({"A", "B"}, {"C:\\A", "C:\\B"}));
  faults().AddRule("Registry.DeleteSubKey", 1, platform::kErrorAccessDenied);
  EXPECT_FALSE(settings_.WriteUserSharedFolders({"C"}, {"C:\\C"}));
  faults().Clear();
  EXPECT_EQ(ReadShares(), (std::vector<std::string>{"A,C:\\A", "B,C:\\B"}))
      << "a failed removal writes none of the new entries";

  faults().AddRule("Registry.SetValue", 2, platform::kErrorAccessDenied);
  EXPECT_FALSE(settings_.WriteUserSharedFolders({"C", "D"}, {"C:\\C", "C:\\D"}));
  faults().Clear();
  EXPECT_EQ(ReadShares(), (std::vector<std::string>{"C,C:\\C"}));

  faults().AddRule("Shares.WorkstationUser", 1, platform::kErrorAccessDenied);
  std::vector<std::string> entries;
  EXPECT_FALSE(settings_.ReadUserSharedFolders(&entries));
  faults().AddRule("SystemInfo.UserName", 1, platform::kErrorAccessDenied);
  EXPECT_FALSE(settings_.WriteUserSharedFolders({}, {}));
}

}  // namespace
}  // namespace qdw::settings
