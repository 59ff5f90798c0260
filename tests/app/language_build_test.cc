// What differs between the language builds of the program, checked in whichever build runs it:
// the world-group name that start-up hands to the data folder's rights and to every restore,
// and the engine runs of the real services passing that name on to the access-rights library.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "app/backup_app.h"
#include "app/machine_services.h"
#include "lingvault/language_constants.h"
#include "tests/app/app_test_support.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::testing {
namespace {

// The name Windows gives the group of all users, as each build must pass it.
std::string ExpectedWorldGroup() {
  const std::map<std::string, std::string> names = {{"en", "Everyone"}, {"fr", "Tout le monde"},
                                                    {"de", "Jeder"},    {"it", "Everyone"},
                                                    {"ja", "Everyone"}, {"es", "Todos"}};
  return names.at(language::kLanguageCode);
}

TEST(LanguageBuildTest, StartUpGivesTheBuildsWorldGroupToTheDataFolderAndTheRestores) {
  SimTestMachine machine;
  ScriptedUi scripted("expect dialog 102\nclose\n", &machine.platform().files());
  FakeStartupServices startup;
  FakeRunServices run;
  app::CBackupApp application(machine.platform(), scripted.host(), startup, run);
  EXPECT_FALSE(application.InitInstance());
  scripted.host().Finish();
  EXPECT_EQ(scripted.failure(), "");
  EXPECT_EQ(startup.opened_to, ExpectedWorldGroup());
  EXPECT_EQ(run.world_group, ExpectedWorldGroup());
}

// The real services: a backup with one share outside the repository, then restores through
// engine runs made after the world group was set.
class MachineServicesWorldGroupTest : public ::testing::Test {
 protected:
  static constexpr char kScans[] = "C:\\Users\\jo\\Desktop\\Scans";

  explicit MachineServicesWorldGroupTest(const sim::Json& patch = sim::Json::object())
      : product_(patch),
        scripted_("", &product_.files()),
        services_(product_.platform(), scripted_.host()) {}

  void SetUp() override {
    product_.machine().MakeDefault();
    ASSERT_EQ(product_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
    ASSERT_TRUE(product_.CreateDatabase());
    product_.AllowSettingsWrite();
    product_.machine().PutFile(std::string(kScans) + "\\f.txt", "scans");
    product_.Share("Scans", kScans, "Team scans", platform::kAceAccessAllowed,
                   platform::kMaskFullControl);
    product_.SetSharedFolders({"Scans"}, {kScans});
    auto backup = services_.NewEngineRun(prompts_);
    ASSERT_EQ(backup->Backup(ProductMachine::kRepository, "D:\\Backups", "Shares"), 0);
    archive_ = backup->archive_path();
    ASSERT_EQ(product_.platform().shares().Delete("Scans"), platform::kSuccess);
  }

  int Restore() {
    return services_.NewEngineRun(prompts_)->RestoreFromArchive(archive_,
                                                                ProductMachine::kRepository, "");
  }

  ProductMachine product_;
  ScriptedUi scripted_;
  app::MachineServices services_;
  ScriptedPrompts prompts_;
  std::string archive_;
};

TEST_F(MachineServicesWorldGroupTest, RestoreGrantsTheEnglishNameUntilStartUpSetsAnother) {
  EXPECT_EQ(Restore(), 0);
  // A name this (English) machine does not know reaches the access-rights library and fails
  // the share step.
  services_.SetWorldGroup("Jeder");
  EXPECT_EQ(Restore(), 206);
}

class GermanMachineTest : public MachineServicesWorldGroupTest {
 protected:
  GermanMachineTest() : MachineServicesWorldGroupTest(GermanAccounts()) {}

  static sim::Json GermanAccounts() {
    sim::Json accounts = SimTestMachine::DefaultDescription()["accounts"];
    for (sim::Json& account : accounts) {
      if (account["sid"] == "S-1-1-0") account["name"] = "Jeder";
    }
    return {{"accounts", accounts}};
  }
};

TEST_F(GermanMachineTest, RestoreGrantsTheLocalizedName) {
  services_.SetWorldGroup("Jeder");
  EXPECT_EQ(Restore(), 0);
  bool present = false;
  platform::Acl dacl;
  ASSERT_EQ(product_.files().ReadDacl(kScans, &present, &dacl), platform::kSuccess);
  ASSERT_EQ(dacl.entries.size(), 1u);
  EXPECT_EQ(dacl.entries[0].sid, platform::Sid::World());
  EXPECT_EQ(dacl.entries[0].mask, platform::kMaskChange);
}

}  // namespace
}  // namespace qdw::testing
