// The group of all users that a restore grants change rights on the re-created shares, under
// the name the engine object was given: the literal "Everyone", or the localized name that the
// French, German and Spanish builds load from their resource module.
#include <gtest/gtest.h>

#include <string>

#include "engine/backup_restore.h"
#include "engine/backup/compress_packer.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::restore {
namespace {

using testing::ProductMachine;

constexpr char kScans[] = "C:\\Users\\jo\\Desktop\\Scans";

// A machine whose Windows calls the world group (S-1-1-0) `world_group`.
sim::Json MachineCalling(const std::string& world_group) {
  if (world_group.empty()) return sim::Json::object();
  sim::Json accounts = testing::SimTestMachine::DefaultDescription()["accounts"];
  for (sim::Json& account : accounts) {
    if (account["sid"] == "S-1-1-0") account["name"] = world_group;
  }
  return {{"accounts", accounts}};
}

class RestoreWorldGroupTest : public ::testing::Test {
 protected:
  explicit RestoreWorldGroupTest(const std::string& machine_world_group = "")
      : product_(MachineCalling(machine_world_group)) {}

  // Backs up an installation with one share outside the repository, whose folder then loses
  // its access list and its content; returns the archive.
  std::string BackUpSharedFolder() {
    product_.AllowSettingsWrite();
    product_.machine().PutFile(std::string(kScans) + "\\f.txt", "scans at backup time");
    product_.Share("Scans", kScans, "Team scans", platform::kAceAccessAllowed,
                   platform::kMaskFullControl);
    product_.SetSharedFolders({"Scans"}, {kScans});
    EXPECT_EQ(engine_.Backup(ProductMachine::kRepository, "D:\\Backups", "Shares"), 0);
    EXPECT_EQ(product_.platform().shares().Delete("Scans"), platform::kSuccess);
    product_.machine().PutFile(std::string(kScans) + "\\f.txt", "changed");
    return engine_.archive_path();
  }

  int Restore(const std::string& archive) {
    return engine_.RestoreFromArchive(archive, ProductMachine::kRepository, "");
  }

  // The share folder's own access list is the single change entry for the world group.
  void ExpectWorldGroupMayChange() {
    bool present = false;
    platform::Acl dacl;
    ASSERT_EQ(product_.files().ReadDacl(kScans, &present, &dacl), platform::kSuccess);
    ASSERT_TRUE(present);
    ASSERT_EQ(dacl.entries.size(), 1u);
    EXPECT_EQ(dacl.entries[0].type, platform::kAceAccessAllowed);
    EXPECT_EQ(dacl.entries[0].sid, platform::Sid::World());
    EXPECT_EQ(dacl.entries[0].mask, platform::kMaskChange);
  }

  void SetUp() override {
    product_.machine().MakeDefault();
    ASSERT_EQ(product_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
    ASSERT_TRUE(product_.CreateDatabase());
  }

  ProductMachine product_;
  testing::ScriptedPrompts prompts_;
  backup::CompressPacker packer_;
  engine::CBackupRestore engine_{product_.platform(), prompts_, packer_};
};

class FrenchMachineRestoreTest : public RestoreWorldGroupTest {
 protected:
  FrenchMachineRestoreTest() : RestoreWorldGroupTest("Tout le monde") {}
};

TEST_F(RestoreWorldGroupTest, EnglishNameIsTheDefault) {
  const std::string archive = BackUpSharedFolder();
  EXPECT_EQ(Restore(archive), 0);
  ExpectWorldGroupMayChange();
  EXPECT_EQ(product_.machine().ReadFile(std::string(kScans) + "\\f.txt"), "scans at backup time");
}

TEST_F(FrenchMachineRestoreTest, LocalizedNameGivenToTheEngineGetsTheRights) {
  const std::string archive = BackUpSharedFolder();
  engine_.set_world_group("Tout le monde");
  EXPECT_EQ(Restore(archive), 0);
  ExpectWorldGroupMayChange();
}

// On a machine that does not know the name, the rights cannot be set: the share step fails and
// the restore says so instead of leaving the shares closed to everybody. This is also what shows
// that the name given is the one the access-rights library receives.
TEST_F(RestoreWorldGroupTest, NameTheMachineDoesNotKnowFailsTheShareStep) {
  const std::string archive = BackUpSharedFolder();
  engine_.set_world_group("Tout le monde");
  EXPECT_EQ(Restore(archive), 206);
  EXPECT_FALSE(
      product_.machine().Exists(std::string(ProductMachine::kRepository) + "\\VARNOLDBackUpTemp"));
}

}  // namespace
}  // namespace qdw::restore
