// Shares put back through the product's share service (version class 6), and directly on
// older systems: their descriptors come back, a taken name is renamed with "_bak", the rename
// loop ends on a failing check, on running out of names, and when the service cannot be
// reached (the share step's 206), and a failing share listing removes nothing.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/backup_restore.h"
#include "engine/backup/compress_packer.h"
#include "settings/product_settings.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::restore {
namespace {

using testing::ProductMachine;

constexpr char kInbox[] = "C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Quillon Deskora\\Inbox";
constexpr char kDocument[] =
    "C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Quillon Deskora\\Inbox\\inv1.pdf";
constexpr char kUserSid[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

class RestoreShareProxyTest : public ::testing::Test {
 protected:
  explicit RestoreShareProxyTest(const sim::Json& patch = sim::Json::object()) : product_(patch) {}

  // The user's share of the inbox: a deny entry for the user before the world's change right.
  void SetUp() override {
    product_.machine().MakeDefault();
    product_.AllowSettingsWrite();
    ASSERT_EQ(product_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
    ASSERT_TRUE(product_.CreateDatabase());
    platform::ShareInfo share;
    share.name = "Docs";
    share.path = kInbox;
    share.remark = "Team, documents";
    share.max_uses = 7;
    platform::SecurityDescriptor descriptor;
    descriptor.dacl_present = true;
    platform::Ace deny;
    deny.type = platform::kAceAccessDenied;
    deny.mask = platform::kMaskFullControl;
    ASSERT_TRUE(platform::Sid::Parse(kUserSid, &deny.sid));
    platform::Ace allow;
    allow.mask = platform::kMaskChange;
    ASSERT_TRUE(platform::Sid::Parse("S-1-1-0", &allow.sid));
    descriptor.dacl.entries = {deny, allow};
    share.security = descriptor;
    ASSERT_EQ(product_.platform().shares().Add(share), platform::kSuccess);
    product_.SetSharedFolders({"Docs"}, {kInbox});
    ASSERT_EQ(engine_.Backup(ProductMachine::kRepository, "D:\\Backups", "Shares"), 0);
    archive_ = engine_.archive_path();
    at_backup_ = Shares();
  }

  int Restore() { return engine_.RestoreFromArchive(archive_, ProductMachine::kRepository, ""); }

  // The machine's shares by name, without the creator the share service notes.
  std::map<std::string, sim::Json> Shares() {
    std::map<std::string, sim::Json> shares;
    sim::Json all = product_.machine().machine().store().Read("shares.json");
    for (sim::Json share : all.value("shares", sim::Json::array())) {
      share.erase("creator");
      shares[share["name"].get<std::string>()] = share;
    }
    return shares;
  }
  std::string CreatorOf(const std::string& name) {
    sim::Json all = product_.machine().machine().store().Read("shares.json");
    for (const sim::Json& share : all.value("shares", sim::Json::array())) {
      if (share["name"] == name) return share.value("creator", "");
    }
    return "";
  }
  std::vector<std::string> Registered() {
    std::vector<std::string> entries;
    EXPECT_TRUE(settings::ProductSettings(product_.platform()).ReadUserSharedFolders(&entries));
    return entries;
  }
  // Another user's share takes the name "Docs" for a folder of its own.
  void TakeTheName() {
    ASSERT_EQ(product_.platform().shares().Delete("Docs"), platform::kSuccess);
    ASSERT_EQ(product_.files().MakeFolder("D:\\Other"), platform::kSuccess);
    product_.Share("Docs", "D:\\Other", "not ours", platform::kAceAccessAllowed,
                   platform::kMaskRead);
  }

  ProductMachine product_;
  testing::ScriptedPrompts prompts_;
  backup::CompressPacker packer_;
  engine::CBackupRestore engine_{product_.platform(), prompts_, packer_};
  std::string archive_;
  std::map<std::string, sim::Json> at_backup_;
};

TEST_F(RestoreShareProxyTest, ChangedShareComesBackThroughTheServiceWithItsDescriptor) {
  // Damage: the share now lets the world read only, with another remark and no limit.
  ASSERT_EQ(product_.platform().shares().Delete("Docs"), platform::kSuccess);
  product_.Share("Docs", kInbox, "changed", platform::kAceAccessAllowed, platform::kMaskRead);
  ASSERT_NE(Shares(), at_backup_);

  EXPECT_EQ(Restore(), 0);
  EXPECT_EQ(Shares(), at_backup_);
  // Made by the service for the user of the process, not by NetShareAdd.
  EXPECT_EQ(CreatorOf("Docs"), "WORKSTATION/jo");
  EXPECT_EQ(Registered(), std::vector<std::string>{std::string("Docs,") + kInbox});
}

TEST_F(RestoreShareProxyTest, TakenNameIsRenamedWithBak) {
  TakeTheName();
  EXPECT_EQ(Restore(), 0);
  std::map<std::string, sim::Json> shares = Shares();
  ASSERT_EQ(shares.count("Docs_bak"), 1u);
  EXPECT_EQ(shares["Docs_bak"]["path"], kInbox);
  EXPECT_EQ(shares["Docs"]["path"], "D:\\Other");
  EXPECT_EQ(Registered(), std::vector<std::string>{std::string("Docs_bak,") + kInbox});
}

TEST_F(RestoreShareProxyTest, FailingNameCheckEndsTheRenameLoop) {
  TakeTheName();
  ASSERT_EQ(product_.files().Delete(kDocument), platform::kSuccess);
  const auto damaged = product_.ProductSnapshot();
  product_.faults().AddRule("ShareProxy.CheckShareName", 1, platform::kErrorAccessDenied,
                            "Docs_bak");
  EXPECT_EQ(Restore(), 206);
  // Nothing was tried after the failure, and the installation is the one from before.
  std::map<std::string, sim::Json> shares = Shares();
  EXPECT_EQ(shares.size(), 1u);
  EXPECT_EQ(shares["Docs"]["path"], "D:\\Other");
  EXPECT_EQ(product_.ProductSnapshot(), damaged);
  EXPECT_FALSE(product_.machine().Exists("C:\\Users\\jo\\Documents\\VARNOLDBackUpTemp"));
}

TEST_F(RestoreShareProxyTest, RenameLoopEndsWhenNoNameIsLeft) {
  TakeTheName();
  const auto before = product_.ProductSnapshot();
  // Every add of the inbox's share answers that the name is taken.
  product_.faults().AddRule("Shares.Add", 1, platform::kNerrDuplicateShare, kInbox, 0);
  EXPECT_EQ(Restore(), 206);
  std::map<std::string, sim::Json> shares = Shares();
  EXPECT_EQ(shares.size(), 1u);
  EXPECT_EQ(product_.ProductSnapshot(), before);
}

TEST_F(RestoreShareProxyTest, FailingShareListStopsTheRestoreBeforeAnythingMovesIn) {
  // Enough shares for a second batch of the listing, which fails.
  for (const char* name : {"A", "B", "C"}) {
    product_.Share(name, "D:\\Backups", "", platform::kAceAccessAllowed, platform::kMaskRead);
  }
  const std::map<std::string, sim::Json> shares_before = Shares();
  const auto before = product_.ProductSnapshot();
  product_.faults().AddRule("Shares.Enumerate", 2, platform::kErrorAccessDenied);
  // The user's share cannot be found to make room for the archive's: nothing is replaced.
  EXPECT_EQ(Restore(), 204);
  EXPECT_EQ(Shares(), shares_before);
  EXPECT_EQ(product_.ProductSnapshot(), before);
}

class MissingShareServiceTest : public RestoreShareProxyTest {
 protected:
  MissingShareServiceTest() : RestoreShareProxyTest({{"share_proxy_installed", false}}) {}
};

TEST_F(MissingShareServiceTest, ShareStepFailsAndTheOldInstallationStays) {
  ASSERT_EQ(product_.files().Delete(kDocument), platform::kSuccess);
  const auto damaged = product_.ProductSnapshot();
  // The user's share cannot be removed through the service: nothing moves in.
  EXPECT_EQ(Restore(), 204);
  EXPECT_EQ(product_.ProductSnapshot(), damaged);
  EXPECT_EQ(Shares(), at_backup_);
  EXPECT_EQ(Registered(), std::vector<std::string>{std::string("Docs,") + kInbox});
}

// Windows XP has no share service: NetShareAdd directly, and a repository folder whose name is
// taken moves to a folder named after its new share.
class DirectSharesTest : public RestoreShareProxyTest {
 protected:
  DirectSharesTest() : RestoreShareProxyTest({{"os_version", {{"major", 5}}}}) {}
};

TEST_F(DirectSharesTest, TakenNameIsRenamedAndItsFolderFollows) {
  TakeTheName();
  EXPECT_EQ(Restore(), 0);
  const std::string moved =
      std::string(ProductMachine::kRepository) + "\\VARNOLD\\QDW\\QUILLON DESKORA\\Docs_bak";
  std::map<std::string, sim::Json> shares = Shares();
  ASSERT_EQ(shares.count("Docs_bak"), 1u);
  EXPECT_EQ(shares["Docs_bak"]["path"], moved);
  EXPECT_EQ(shares["Docs_bak"]["security"], at_backup_["Docs"]["security"]);
  EXPECT_EQ(CreatorOf("Docs_bak"), "");
  EXPECT_EQ(shares["Docs"]["path"], "D:\\Other");
  EXPECT_TRUE(product_.machine().Exists(moved + "\\inv1.pdf"));
  EXPECT_FALSE(product_.machine().Exists(kInbox));
  EXPECT_EQ(Registered(), std::vector<std::string>{"Docs_bak," + moved});
}

TEST_F(DirectSharesTest, NoFreeNameLeavesTheFolderWhereItIsRecorded) {
  TakeTheName();
  // Every name tried is taken.
  product_.faults().AddRule("Shares.Add", 1, platform::kNerrDuplicateShare, "", 0);
  EXPECT_EQ(Restore(), 0);
  EXPECT_TRUE(product_.machine().Exists(std::string(kInbox) + "\\inv1.pdf"));
  EXPECT_FALSE(product_.machine().Exists(std::string(ProductMachine::kRepository) +
                                         "\\VARNOLD\\QDW\\QUILLON DESKORA\\D_bak"));
  EXPECT_EQ(Shares().size(), 1u);
  EXPECT_EQ(Registered(), std::vector<std::string>{std::string("Docs,") + kInbox});
}

TEST_F(DirectSharesTest, RefusedShareFailsTheStepAndTheOldInstallationStays) {
  ASSERT_EQ(product_.files().Delete(kDocument), platform::kSuccess);
  const auto damaged = product_.ProductSnapshot();
  product_.faults().AddRule("Shares.Add", 1, platform::kErrorAccessDenied, "", 0);
  EXPECT_EQ(Restore(), 206);
  EXPECT_EQ(product_.ProductSnapshot(), damaged);
  EXPECT_EQ(Registered(), std::vector<std::string>{std::string("Docs,") + kInbox});
}

}  // namespace
}  // namespace qdw::restore
