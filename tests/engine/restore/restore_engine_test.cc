// The restore engine on stand-in machines: sets written by the real backup engine and the
// archive writer, put back over a damaged installation; refused sets, missing volumes and
// faults at the destructive steps, each leaving the old installation in place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "engine/backup/compress_packer.h"
#include "engine/backup_restore.h"
#include "settings/product_settings.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::restore {
namespace {

using engine::PromptAnswer;
using testing::ProductMachine;

constexpr char kTemp[] = "C:\\Users\\jo\\Documents\\VARNOLDBackUpTemp";
constexpr char kDocument[] =
    "C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Quillon Deskora\\Scans\\scan0.tif";

class RestoreEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product_.machine().MakeDefault();
    ASSERT_EQ(product_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
    ASSERT_TRUE(product_.CreateDatabase());
    std::mt19937 random(11);
    for (int i = 0; i < 3; ++i) {
      std::string bytes(15000, '\0');
      for (char& c : bytes) c = static_cast<char>(random());
      product_.machine().PutFile(std::string(ProductMachine::kProduct) +
                                     "\\QDW\\Quillon Deskora\\Scans\\scan" + std::to_string(i) +
                                     ".tif",
                                 bytes);
    }
  }
  void TearDown() override { unsetenv("QDW_CAB_VOLUME_LIMIT"); }

  std::string BackUp(const std::string& name) {
    EXPECT_EQ(engine_.Backup(ProductMachine::kRepository, "D:\\Backups", name), 0);
    prompts_.shown.clear();
    prompts_.texts.clear();
    return engine_.archive_path();
  }
  int Restore(const std::string& archive, const std::string& temp_base = "") {
    return engine_.RestoreFromArchive(archive, ProductMachine::kRepository, temp_base);
  }
  void Damage() {
    ASSERT_EQ(product_.files().Delete(kDocument), platform::kSuccess);
    product_.machine().PutFile(std::string(ProductMachine::kProduct) + "\\QDW\\stray.txt", "x");
  }
  bool Exists(const std::string& path) { return product_.machine().Exists(path); }
  void ExpectNoLeftOvers() {
    EXPECT_FALSE(Exists(kTemp));
    EXPECT_FALSE(Exists(std::string(ProductMachine::kProduct) + "\\QDW_KeptByRestore"));
    EXPECT_FALSE(Exists(std::string(ProductMachine::kProduct) + "\\QDWie_KeptByRestore"));
  }

  ProductMachine product_;
  testing::ScriptedPrompts prompts_;
  backup::CompressPacker packer_;
  engine::CBackupRestore engine_{product_.platform(), prompts_, packer_};
};

TEST_F(RestoreEngineTest, DamagedInstallationComesBackAsBackedUp) {
  const auto before = product_.ProductSnapshot();
  const std::string archive = BackUp("Full");
  Damage();
  ASSERT_NE(product_.ProductSnapshot(), before);
  EXPECT_EQ(Restore(archive), 0);
  EXPECT_EQ(product_.ProductSnapshot(), before);
  ExpectNoLeftOvers();
}

TEST_F(RestoreEngineTest, SpannedSetComesBackWhole) {
  setenv("QDW_CAB_VOLUME_LIMIT", "20000", 1);
  const auto before = product_.ProductSnapshot();
  const std::string archive = BackUp("Span");
  ASSERT_EQ(archive, "D:\\Backups\\Span_bak3.qdw");
  Damage();
  EXPECT_EQ(Restore(archive), 0);
  EXPECT_EQ(product_.ProductSnapshot(), before);
  ExpectNoLeftOvers();
}

// Both engines say what they do, phase by phase, and how far each phase has got.
TEST_F(RestoreEngineTest, BackupAndRestoreReportEachPhaseAsTheyGo) {
  using engine::ProgressPhase;
  setenv("QDW_CAB_VOLUME_LIMIT", "20000", 1);
  testing::RecordingProgress progress;
  engine::EngineOptions options;
  options.progress = &progress;
  engine::CBackupRestore engine(product_.platform(), prompts_, packer_, options);
  auto finished = [&progress] {
    for (const auto& phase : progress.phases) {
      EXPECT_TRUE(phase.finished) << static_cast<int>(phase.phase);
    }
  };
  auto volumes = [](const testing::RecordingProgress::Phase& phase) {
    std::vector<std::pair<int, int>> shown;
    for (const engine::ProgressStep& step : phase.shown)
      shown.emplace_back(step.volume, step.volumes);
    return shown;
  };

  ASSERT_EQ(engine.Backup(ProductMachine::kRepository, "D:\\Backups", "Span"), 0);
  EXPECT_EQ(progress.Order(), (std::vector<ProgressPhase>{
                                  ProgressPhase::kCopyRepository, ProgressPhase::kRecordShares,
                                  ProgressPhase::kCleanCopy, ProgressPhase::kMarkFolders,
                                  ProgressPhase::kPackVolume, ProgressPhase::kPlaceSet}));
  finished();
  // The copy was measured before it began, to the byte.
  const auto& copy = progress.Of(ProgressPhase::kCopyRepository);
  EXPECT_GE(copy.total, 45000u);
  EXPECT_EQ(copy.last, copy.total);
  // The writer reads the whole work folder: the copied bytes, and the database as cleaned.
  const auto& pack = progress.Of(ProgressPhase::kPackVolume);
  EXPECT_EQ(volumes(pack), (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}}));
  EXPECT_GE(pack.last * 10, pack.total * 9);
  EXPECT_GT(pack.advances, 3);

  progress.phases.clear();
  Damage();
  ASSERT_EQ(
      engine.RestoreFromArchive("D:\\Backups\\Span_bak3.qdw", ProductMachine::kRepository, ""), 0);
  EXPECT_EQ(progress.Order(), (std::vector<ProgressPhase>{
                                  ProgressPhase::kCopySet, ProgressPhase::kUnpackVolume,
                                  ProgressPhase::kCheckArchive, ProgressPhase::kPutInPlace,
                                  ProgressPhase::kRecreateShares, ProgressPhase::kRemoveReplaced}));
  finished();
  const auto& copy_set = progress.Of(ProgressPhase::kCopySet);
  EXPECT_GE(copy_set.advances, 3);
  EXPECT_EQ(copy_set.last, copy_set.total);
  const auto& unpack = progress.Of(ProgressPhase::kUnpackVolume);
  EXPECT_EQ(unpack.total, copy_set.total);
  EXPECT_EQ(volumes(unpack), (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
  EXPECT_EQ(unpack.last, unpack.total);
  EXPECT_GT(unpack.advances, 6);
  // Files that came out of the set are what the move counts, markers aside.
  const auto& place = progress.Of(ProgressPhase::kPutInPlace);
  EXPECT_GT(place.last, 3u);
  EXPECT_LT(place.last, place.total);
  EXPECT_GT(progress.Of(ProgressPhase::kRemoveReplaced).last, 3u);
}

TEST_F(RestoreEngineTest, MissingContinuationVolumeIsListedAndNoAbandons) {
  setenv("QDW_CAB_VOLUME_LIMIT", "20000", 1);
  const std::string archive = BackUp("Span");
  ASSERT_EQ(product_.files().Delete("D:\\Backups\\Span_add3.qdw"), platform::kSuccess);
  Damage();
  const auto damaged = product_.ProductSnapshot();
  prompts_.answers = {PromptAnswer::kNo};
  EXPECT_EQ(Restore(archive), 100);
  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0], 169);
  EXPECT_EQ(prompts_.texts[0], "<169>\nD:\\Backups\\Span_add3.qdw");
  EXPECT_EQ(product_.ProductSnapshot(), damaged);
  EXPECT_FALSE(Exists(kTemp));

  // Yes goes on with the first volume alone, which cannot finish its files: 203, and the
  // installation stays as it was.
  prompts_.answers = {PromptAnswer::kYes};
  EXPECT_EQ(Restore(archive), 203);
  EXPECT_EQ(product_.ProductSnapshot(), damaged);
  EXPECT_FALSE(Exists(kTemp));
}

TEST_F(RestoreEngineTest, ContinuationVolumeChosenAsksFirst) {
  setenv("QDW_CAB_VOLUME_LIMIT", "20000", 1);
  BackUp("Span");
  prompts_.answers = {PromptAnswer::kNo};
  EXPECT_EQ(Restore("D:\\Backups\\Span_add2.qdw"), 100);
  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0], 168);
}

TEST_F(RestoreEngineTest, MissingArchiveShowsMessageAndCreatesNothing) {
  EXPECT_EQ(Restore("D:\\Backups\\None.qdw"), 100);
  EXPECT_EQ(prompts_.shown, std::vector<int>{119});
  EXPECT_FALSE(Exists(kTemp));
}

TEST_F(RestoreEngineTest, FailingUnpackThenSecondCallWithTemporaryFolder) {
  const auto before = product_.ProductSnapshot();
  const std::string archive = BackUp("Full");
  Damage();
  engine_.set_unpacker([](const std::string&, const std::string&) { return 5; });
  EXPECT_EQ(Restore(archive), 203);
  EXPECT_FALSE(Exists(kTemp));
  engine_.set_unpacker(nullptr);
  ASSERT_EQ(product_.files().MakeFolder("D:\\Spare"), platform::kSuccess);
  EXPECT_EQ(Restore(archive, "D:\\Spare"), 0);
  EXPECT_EQ(product_.ProductSnapshot(), before);
  EXPECT_FALSE(Exists("D:\\Spare\\VARNOLDBackUpTemp"));
}

// Unpacks into the temporary folder a product tree with the given marker and share file.
class TreeWritingUnpacker {
 public:
  TreeWritingUnpacker(ProductMachine& product, std::string marker, std::string share_info)
      : product_(product), marker_(std::move(marker)), share_info_(std::move(share_info)) {}
  int operator()(const std::string&, const std::string& folder) {
    product_.machine().PutFile(folder + "\\VARNOLD\\QDW\\new.txt", "new");
    if (!marker_.empty()) product_.machine().PutFile(folder + "\\VARNOLD\\" + marker_, "");
    if (!share_info_.empty()) {
      product_.machine().PutFile(folder + "\\BackupShareInfo.txt", share_info_);
    }
    return 0;
  }

 private:
  ProductMachine& product_;
  std::string marker_;
  std::string share_info_;
};

TEST_F(RestoreEngineTest, RefusedArchivesLeaveTheInstallationAlone) {
  const std::string archive = BackUp("Full");
  const auto before = product_.ProductSnapshot();
  const struct {
    const char* marker;
    const char* share_info;
    int code;
  } cases[] = {
      {"VarnoldBackup.qkb", "", 215},
      {"", "", 208},
      {"VarnoldBackup_QDW2.qkb", "NT\nEvil,C:\\Users\\..\\Windows\n", 212},
      {"VarnoldBackup_QDW2.qkb", "NT\nEvil,\\\\?\\C:\\x\n", 212},
      {"VarnoldBackup_QDW2.qkb", "NT\na\\b,C:\\Shares\\x\n", 212},
      {"VarnoldBackup_QDW2.qkb", "NT\n..,C:\\Shares\\x\n", 212},
      {"VarnoldBackup_QDW2.qkb", "NT\nQ,Q:\\Shares\\x\n", 212},
      // An existing folder that is none of the user's shared folders.
      {"VarnoldBackup_QDW2.qkb", "NT\nBackups,D:\\Backups\n", 212},
  };
  for (const auto& c : cases) {
    prompts_.shown.clear();
    engine_.set_unpacker(TreeWritingUnpacker(product_, c.marker, c.share_info));
    EXPECT_EQ(Restore(archive), c.code) << c.share_info;
    EXPECT_EQ(product_.ProductSnapshot(), before) << c.share_info;
    EXPECT_FALSE(Exists(kTemp));
    if (c.code == 212) {
      ASSERT_EQ(prompts_.shown.size(), 1u);
      EXPECT_TRUE(prompts_.shown[0] == 158 || prompts_.shown[0] == 159);
    }
  }
}

TEST_F(RestoreEngineTest, FaultsAtDestructiveStepsKeepTheOldInstallation) {
  const std::string archive = BackUp("Full");
  Damage();
  const auto damaged = product_.ProductSnapshot();
  const struct {
    const char* op;
    const char* pattern;
    int code;
  } cases[] = {
      {"FileSystem.MakeFolder", "*\\VARNOLDBackUpTemp", 201},
      {"FileSystem.Copy", "*\\VARNOLDBackUpTemp\\*", 202},
      // The old "QDWie" cannot be set aside: "QDW" goes back and nothing is replaced.
      {"FileSystem.Move", "*\\VARNOLD\\QDWie", 204},
  };
  for (const auto& c : cases) {
    product_.faults().AddRule(c.op, 1, platform::kErrorAccessDenied, c.pattern);
    EXPECT_EQ(Restore(archive), c.code) << c.op;
    product_.faults().Clear();
    EXPECT_EQ(product_.ProductSnapshot(), damaged) << c.op;
    ExpectNoLeftOvers();
  }
}

TEST_F(RestoreEngineTest, FailedShareStepPutsTheOldTreesBack) {
  const std::string archive = BackUp("Full");
  Damage();
  const auto damaged = product_.ProductSnapshot();
  // An outside share whose content the set does not hold: the content move fails (206).
  engine_.set_unpacker(
      TreeWritingUnpacker(product_, "VarnoldBackup_QDW2.qkb", "NT\nOut,C:\\Shares\\Out\n"));
  EXPECT_EQ(Restore(archive), 206);
  EXPECT_EQ(product_.ProductSnapshot(), damaged);
  ExpectNoLeftOvers();
}

TEST_F(RestoreEngineTest, SharesContentAndRegistrationComeBack) {
  constexpr char kScans[] = "C:\\Users\\jo\\Desktop\\Scans";
  product_.AllowSettingsWrite();
  product_.machine().PutFile(std::string(kScans) + "\\f.txt", "scans at backup time");
  product_.Share("Scans", kScans, "Team, scans", platform::kAceAccessAllowed,
                 platform::kMaskFullControl);
  product_.SetSharedFolders({"Scans"}, {kScans});
  const std::string archive = BackUp("Shares");

  // Damage: the share is gone and its content changed.
  ASSERT_EQ(product_.platform().shares().Delete("Scans"), platform::kSuccess);
  product_.machine().PutFile(std::string(kScans) + "\\f.txt", "changed");
  EXPECT_EQ(Restore(archive), 0);

  platform::ShareInfo share;
  ASSERT_EQ(product_.platform().shares().GetInfo("Scans", &share), platform::kSuccess);
  EXPECT_EQ(share.path.value_or(""), kScans);
  EXPECT_EQ(share.remark.value_or(""), "Team, scans");
  EXPECT_EQ(product_.machine().ReadFile(std::string(kScans) + "\\f.txt"), "scans at backup time");
  std::vector<std::string> entries;
  settings::ProductSettings settings(product_.platform());
  ASSERT_TRUE(settings.ReadUserSharedFolders(&entries));
  EXPECT_EQ(entries, std::vector<std::string>{std::string("Scans,") + kScans});
  ExpectNoLeftOvers();
}

}  // namespace
}  // namespace qdw::restore
