#include "engine/backup/product_folder_step.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/backup/open_flag_reset.h"
#include "engine/common/engine_errors.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::backup {
namespace {

constexpr char kHeld[] = "C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Quillon Deskora\\Inbox\\inv1.pdf";

class ProductFolderStepTest : public ::testing::Test {
 protected:
  testing::ProductMachine product_;
  testing::ScriptedPrompts prompts_;
  engine::EngineState state_;
  settings::ProductSettings settings_{product_.platform()};
  engine::OpenPdfCheck check_{product_.files(), state_};
  ProductFolderStep step_{settings_, check_, state_, prompts_};
};

TEST_F(ProductFolderStepTest, NothingHeldMeansNoQuestion) {
  product_.machine().PutFile("C:\\Data\\Team\\a.pdf", "a");
  product_.SetSharedFolders({"Team"}, {"C:\\Data\\Team"});
  EXPECT_EQ(step_.Run("Backup"), 0);
  EXPECT_TRUE(prompts_.shown.empty());
}

TEST_F(ProductFolderStepTest, EachModeAnswersHeldPdfsItsOwnWay) {
  product_.Lock(kHeld);
  prompts_.custom_box_answer = engine::kCustomBoxOk;
  EXPECT_EQ(step_.Run("Backup"), 0);
  prompts_.custom_box_answer = engine::kCustomBoxCancel;
  EXPECT_EQ(step_.Run("Backup"), 307);
  EXPECT_EQ(step_.Run("Restore"), 307);
  EXPECT_EQ(step_.Run("Other"), 0);
  EXPECT_EQ(prompts_.shown, (std::vector<int>{181, 181, 183}));
  EXPECT_EQ(state_.open_pdfs, std::vector<std::string>{"inv1.pdf"})
      << "the list is emptied at every step";
}

TEST_F(ProductFolderStepTest, HeldPdfInASharedFolderCounts) {
  product_.machine().PutFile("C:\\Data\\Team\\held.pdf", "a");
  product_.SetSharedFolders({"Team"}, {"C:\\Data\\Team"});
  product_.Lock("C:\\Data\\Team\\held.pdf");
  EXPECT_EQ(step_.Run("Restore"), 307);
}

TEST_F(ProductFolderStepTest, UnreadableSharedFolderListStillReportsTheRepository) {
  product_.Lock(kHeld);
  product_.faults().AddRule("Shares.WorkstationUser", 1, platform::kErrorAccessDenied, "", 0);
  EXPECT_EQ(step_.Run("Restore"), 307);
  EXPECT_EQ(prompts_.shown, std::vector<int>{183});
}

TEST_F(ProductFolderStepTest, UnreadableRepositoryPathRaises301) {
  std::unique_ptr<platform::RegistryKey> key;
  ASSERT_EQ(product_.platform().registry().OpenKey(platform::Hive::kCurrentUser,
                                                   std::string(settings::kProductKey) + "\\QDW",
                                                   platform::kKeyWrite, &key),
            platform::kSuccess);
  ASSERT_EQ(key->DeleteValue("Repository Path"), platform::kSuccess);
  EXPECT_EQ(testing::RaisedResultCode([&] { step_.Run("Backup"); }), 301);
}

TEST(OpenFlagResetTest, MissingDatabaseIsReportedAsFalse) {
  testing::ProductMachine product;
  EXPECT_FALSE(ResetOpenFlags(product.platform(), "C:\\Nowhere\\QDW"));
}

}  // namespace
}  // namespace qdw::backup
