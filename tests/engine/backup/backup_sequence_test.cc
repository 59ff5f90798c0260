#include "engine/backup/backup_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/backup_restore.h"
#include "engine/common/engine_errors.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::backup {
namespace {

using engine::PromptAnswer;

constexpr char kDest[] = "D:\\Backups";
constexpr char kFailureList[] =
    "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupFailureLog.txt";
constexpr char kInbox[] = "C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Quillon Deskora\\Inbox";

class BackupSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(files().MakeFolder(kDest), platform::kSuccess);
    ASSERT_TRUE(product_.CreateDatabase());
    live_before_ = product_.ProductSnapshot();
  }

  int Backup(const std::string& name, const std::string& destination = kDest) {
    return engine_.Backup(testing::ProductMachine::kRepository, destination, name);
  }
  bool Packed(const std::string& relative) {
    const auto& packed = packer_.packed_files;
    return std::find(packed.begin(), packed.end(), relative) != packed.end();
  }
  // The live product is as it was and the run left no folder of its own behind.
  void ExpectNoTrace() {
    EXPECT_EQ(product_.ProductSnapshot(), live_before_);
    EXPECT_FALSE(machine().Exists("D:\\Backups\\QDWBackUpTemp"));
    EXPECT_FALSE(machine().Exists("D:\\Backups\\QDWBackUpFileTemp"));
  }

  testing::SimTestMachine& machine() { return product_.machine(); }
  platform::FileSystem& files() { return product_.files(); }
  const sim::FaultInjector& faults() { return product_.faults(); }

  testing::ProductMachine product_;
  testing::ScriptedPrompts prompts_;
  testing::FakePacker packer_{product_.files()};
  engine::CBackupRestore engine_{product_.platform(), prompts_, packer_};
  std::map<std::string, std::string> live_before_;
};

TEST_F(BackupSequenceTest, PlainBackupPacksAMarkedWorkingCopyAndPlacesOneVolume) {
  machine().PutFile(kFailureList, "stale entries");
  engine_.state().merged_folders.Append("7", "left from an earlier run");
  ASSERT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(engine_.state().merged_folders.size(), 0u);
  EXPECT_EQ(engine_.archive_path(), "D:\\Backups\\Set1.qdw");
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1.qdw"), "volume 1");
  EXPECT_TRUE(Packed("VARNOLD\\QDW\\Quillon Deskora\\Inbox\\inv1.pdf"));
  EXPECT_TRUE(Packed("VARNOLD\\QDWie\\cache.dat"));
  EXPECT_TRUE(Packed("VARNOLD\\VarnoldBackup_QDW2.qkb"));
  EXPECT_TRUE(Packed("VARNOLD\\QDW\\Quillon Deskora\\Empty\\VarnoldBackup_QDW2.qkb"));
  EXPECT_FALSE(Packed("VarnoldBackup_QDW2.qkb")) << "the work folder itself is not marked";
  EXPECT_FALSE(Packed("BackupShareInfo.txt")) << "no shared folders, no share information";
  EXPECT_EQ(machine().ReadFile(kFailureList), "") << "every backup empties the failure list";
  EXPECT_TRUE(prompts_.shown.empty());
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, ThreeVolumesAreNamedWithTheirCountThenOneVolumeAgain) {
  packer_.volumes = 3;
  ASSERT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(engine_.archive_path(), "D:\\Backups\\Set1_bak3.qdw");
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1_bak3.qdw"), "volume 1");
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1_add2.qdw"), "volume 2");
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1_add3.qdw"), "volume 3");
  EXPECT_FALSE(machine().Exists("D:\\Backups\\Set1.qdw"));
  ASSERT_EQ(prompts_.shown, std::vector<int>{166});
  EXPECT_EQ(prompts_.texts[0],
            "<166>\nD:\\Backups\\Set1_bak3.qdw\nD:\\Backups\\Set1_add2.qdw\n"
            "D:\\Backups\\Set1_add3.qdw\n\n<167>\nD:\\Backups\\Set1_bak3.qdw");

  packer_.volumes = 1;
  ASSERT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(engine_.archive_path(), "D:\\Backups\\Set1.qdw");
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, LockedDocumentIsLeftOutListedAndOffered) {
  product_.Lock(std::string(kInbox) + "\\inv1.pdf");
  // The product-folder step sees the held PDF first; the user goes on.
  prompts_.custom_box_answer = engine::kCustomBoxOk;
  ASSERT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(prompts_.shown, (std::vector<int>{181, 179}));
  EXPECT_EQ(prompts_.failure_list_opened, 1);
  const std::string lower = "c:\\users\\jo\\documents\\varnold\\qdw\\quillon deskora\\inbox";
  EXPECT_EQ(machine().ReadFile(kFailureList), "PDF File Name:  " + lower +
                                                  "\\inv1.pdf\r\nOriginal File Name:  " + lower +
                                                  "\\inv1.docx\r\n\r\n");
  EXPECT_FALSE(Packed("VARNOLD\\QDW\\Quillon Deskora\\Inbox\\inv1.pdf"));
  EXPECT_FALSE(Packed("VARNOLD\\QDW\\Quillon Deskora\\Inbox\\inv1.docx"));
  EXPECT_FALSE(Packed("VARNOLD\\QDW\\Quillon Deskora\\Inbox\\inv1.xml"));
  EXPECT_TRUE(Packed("VARNOLD\\QDW\\Settings\\printer.ico"));
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, OpenPdfAndTheUserStops) {
  product_.Lock(std::string(kInbox) + "\\inv1.pdf");
  EXPECT_EQ(Backup("Set1"), 307);
  EXPECT_EQ(prompts_.shown, std::vector<int>{181});
  EXPECT_EQ(packer_.calls, 0);
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, RefusedInputsShowTheirMessageAndCreateNothing) {
  struct Case {
    std::string destination, name;
    int message;
  };
  // The set's longest path, its last possible continuation in the file-temp folder, is 27
  // characters longer than the archive path and must fit the platform's path buffer.
  const std::string long_name(232 - std::string("D:\\Backups\\.qdw").size(), 'n');
  for (const Case& c : std::vector<Case>{
           {"E:\\", "Set1", 120},
           {"D:\\Nowhere", "Set1", 120},
           {"D:\\Backups", "a;b", 156},
           {"D:\\Backups", "a_bak", 174},
           {"C:\\Users\\jo\\Documents\\VARNOLD\\QDW", "Set1", 185},
           {"C:\\Users\\jo\\Documents\\VARNOLD.", "Set1", 185},
           {"C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\..\\..\\VARNOLD\\QDW", "Set1", 185},
           {"D:\\Backups", long_name + "n", 157},
       }) {
    prompts_.shown.clear();
    EXPECT_EQ(Backup(c.name, c.destination), 100) << c.destination << " " << c.name;
    EXPECT_EQ(prompts_.shown, std::vector<int>{c.message}) << c.destination << " " << c.name;
  }
  EXPECT_EQ(engine_.archive_path(), "");
  EXPECT_EQ(packer_.calls, 0);
  ExpectNoTrace();

  prompts_.shown.clear();
  EXPECT_EQ(Backup(long_name), 0) << "the longest archive path whose set paths all fit";
  EXPECT_TRUE(machine().Exists("D:\\Backups\\" + long_name + ".qdw"));
  EXPECT_EQ(Backup("Q_BAK", "D:\\Backups\\"), 0) << "upper-case _BAK is no volume mark";
  EXPECT_TRUE(machine().Exists("D:\\Backups\\Q_BAK.qdw"));
  EXPECT_EQ(Backup("Root", "C:\\"), 0) << "a fixed drive's root is a destination";
  EXPECT_EQ(engine_.archive_path(), "C:\\Root.qdw");
  EXPECT_TRUE(prompts_.shown.empty());
}

TEST_F(BackupSequenceTest, ExistingArchiveIsKeptWhenDeclinedOrWhenTheRunFails) {
  machine().PutFile("D:\\Backups\\Set1.qdw", "old");
  prompts_.answers = {PromptAnswer::kNo};
  EXPECT_EQ(Backup("Set1"), 100);
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1.qdw"), "old");

  packer_.result = 3;
  EXPECT_EQ(Backup("Set1"), 6);
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1.qdw"), "old");

  packer_.result = 0;
  faults().AddRule("FileSystem.Replace", 1, platform::kErrorDiskFull, "*\\QDWBackUpFileTemp\\*");
  EXPECT_EQ(Backup("Set1"), 7);
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1.qdw"), "old");
  EXPECT_FALSE(machine().Exists("D:\\Backups\\Set1.qdw.old"));

  EXPECT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1.qdw"), "volume 1");
  EXPECT_FALSE(machine().Exists("D:\\Backups\\Set1.qdw.old"));
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, AnEarlierSetOfTheNameIsReplacedWholeOrNotAtAll) {
  const std::vector<std::string> old_set = {"Set1_bak6.qdw", "Set1_add2.qdw", "Set1_add3.qdw",
                                            "Set1_add4.qdw", "Set1_add5.qdw", "Set1_add6.qdw"};
  for (const std::string& volume : old_set) machine().PutFile("D:\\Backups\\" + volume, volume);
  machine().PutFile("D:\\Backups\\Set10.qdw", "another backup");
  machine().PutFile("D:\\Backups\\Set1_addendum.qdw", "not a volume");
  auto old_set_intact = [&] {
    for (const std::string& volume : old_set) {
      EXPECT_EQ(machine().ReadFile("D:\\Backups\\" + volume), volume);
    }
  };

  // One question lists the whole earlier set, even though the new set has one volume.
  prompts_.answers = {PromptAnswer::kNo};
  EXPECT_EQ(Backup("Set1"), 100);
  ASSERT_EQ(prompts_.shown, std::vector<int>{118});
  std::string listed = "<118>";
  for (const std::string& volume : old_set) listed += "\nD:\\Backups\\" + volume;
  EXPECT_EQ(prompts_.texts[0], listed);
  old_set_intact();

  // A new set that cannot be placed gives every old volume back.
  faults().AddRule("FileSystem.Replace", 1, platform::kErrorDiskFull, "*\\QDWBackUpFileTemp\\*");
  EXPECT_EQ(Backup("Set1"), 7);
  faults().Clear();
  old_set_intact();
  EXPECT_FALSE(machine().Exists("D:\\Backups\\Set1.qdw"));

  ASSERT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1.qdw"), "volume 1");
  for (const std::string& volume : old_set) {
    EXPECT_FALSE(machine().Exists("D:\\Backups\\" + volume)) << volume;
    EXPECT_FALSE(machine().Exists("D:\\Backups\\" + volume + ".old")) << volume;
  }

  // And a multi-volume set replaces the single volume, asking once.
  prompts_.shown.clear();
  packer_.volumes = 3;
  ASSERT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(prompts_.shown, (std::vector<int>{118, 166}));
  EXPECT_FALSE(machine().Exists("D:\\Backups\\Set1.qdw"));
  for (const char* volume : {"Set1_bak3.qdw", "Set1_add2.qdw", "Set1_add3.qdw"}) {
    EXPECT_TRUE(machine().Exists(std::string("D:\\Backups\\") + volume)) << volume;
  }
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set10.qdw"), "another backup");
  EXPECT_EQ(machine().ReadFile("D:\\Backups\\Set1_addendum.qdw"), "not a volume");
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, FaultsAtEachStepGiveTheirCodeAndLeaveNoTrace) {
  struct Case {
    std::string op, pattern;
    uint32_t times;
    int code;
  };
  for (const Case& c : std::vector<Case>{
           {"FileSystem.MakeFolder", "*\\QDWBackUpTemp", 0, 1},
           {"FileSystem.MakeFolder", "*\\QDWBackUpTemp\\VARNOLD", 0, 1},
           {"FileSystem.MakeFolder", "*\\QDWBackUpFileTemp", 0, 1},
           {"FileSystem.Copy", "*\\QDWie\\*", 0, 4},
           {"FileSystem.Copy", "*\\Settings\\printer.ico", 0, 4},
           {"FileSystem.Find", "*\\QDWBackUpTemp\\*.*", 1, 5},
           {"Shares.WorkstationUser", "", 0, 10},
       }) {
    faults().AddRule(c.op, 1, platform::kErrorAccessDenied, c.pattern, c.times);
    EXPECT_EQ(Backup("Set1"), c.code) << c.op << " " << c.pattern;
    faults().Clear();
    EXPECT_EQ(engine_.archive_path(), "D:\\Backups\\Set1.qdw");
    EXPECT_FALSE(machine().Exists("D:\\Backups\\Set1.qdw"));
    ExpectNoTrace();
  }
  packer_.result = 6;
  EXPECT_EQ(Backup("Set1"), 9);
  packer_.result = 2;
  EXPECT_EQ(Backup("Set1"), 6);
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, MissingProductPartsAndDatabase) {
  ASSERT_TRUE(engine_.trees().RemoveTree(std::string(testing::ProductMachine::kProduct) +
                                         "\\QDW\\DataBase"));
  EXPECT_EQ(Backup("Set1"), 9);
  ASSERT_TRUE(
      engine_.trees().RemoveTree(std::string(testing::ProductMachine::kProduct) + "\\QDWie"));
  ASSERT_TRUE(engine_.trees().RemoveTree(std::string(testing::ProductMachine::kProduct) + "\\QDW"));
  EXPECT_EQ(Backup("Set1"), 2);
  EXPECT_FALSE(machine().Exists("D:\\Backups\\QDWBackUpTemp"));
}

TEST_F(BackupSequenceTest, SharedFoldersAreRecordedAndCopied) {
  machine().PutFile("C:\\Data\\Team\\plan.txt", "plan");
  product_.SetSharedFolders({"Team"}, {"C:\\Data\\Team"});
  ASSERT_EQ(Backup("Set1"), 0);
  EXPECT_EQ(packer_.packed_content["BackupShareInfo.txt"], "NT\nTeam,C:\\Data\\Team\n");
  EXPECT_EQ(packer_.packed_content["Team\\plan.txt"], "plan");
  EXPECT_TRUE(Packed("Team\\VarnoldBackup_QDW2.qkb"));

  faults().AddRule("FileSystem.MakeFolder", 1, platform::kErrorAccessDenied,
                   "*\\QDWBackUpTemp\\Team");
  EXPECT_EQ(Backup("Set1"), 11);
  ExpectNoTrace();
}

TEST_F(BackupSequenceTest, FrameworkFailuresLeaveTheEngineWithoutTrace) {
  faults().AddRule("FileSystem.Open", 1, platform::kErrorDiskFull, "*.qkb");
  EXPECT_THROW(Backup("Set1"), engine::FrameworkError);
  faults().Clear();
  faults().AddRule("Database.Open", 1, platform::kErrorAccessDenied, "", 0);
  EXPECT_THROW(Backup("Set1"), engine::FrameworkError);
  EXPECT_EQ(engine_.archive_path(), "D:\\Backups\\Set1.qdw");
  ExpectNoTrace();
}

}  // namespace
}  // namespace qdw::backup
