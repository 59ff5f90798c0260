// The backup engine with the real archive writer: volume names of one- and three-volume sets
// and an unpacked set that matches the repository file for file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "Extractor/extractor.h"
#include "engine/backup_restore.h"
#include "engine/backup/compress_packer.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::backup {
namespace {

class CompressVolumesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product_.machine().MakeDefault();
    ASSERT_EQ(product_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
    ASSERT_TRUE(product_.CreateDatabase());
    // Bytes that do not compress, so the set's size is known in advance.
    std::mt19937 random(7);
    for (int i = 0; i < 3; ++i) {
      std::string bytes(15000, '\0');
      for (char& c : bytes) c = static_cast<char>(random());
      product_.machine().PutFile(std::string(testing::ProductMachine::kProduct) +
                                     "\\QDW\\Quillon Deskora\\Scans\\scan" + std::to_string(i) +
                                     ".tif",
                                 bytes);
    }
  }
  void TearDown() override { unsetenv("QDW_CAB_VOLUME_LIMIT"); }

  // The unpacked product folder without its markers, and the live one.
  void ExpectSetMatchesRepository(const std::vector<std::string>& volumes) {
    ASSERT_EQ(product_.files().MakeFolder("C:\\Check"), platform::kSuccess);
    for (const std::string& volume : volumes) {
      ASSERT_EQ(Extract(volume.c_str(), "C:\\Check"), 0) << volume;
    }
    auto unpacked = testing::SnapshotTree(product_.machine().HostPath("C:\\Check\\VARNOLD"));
    for (auto it = unpacked.begin(); it != unpacked.end();) {
      const std::string& name = it->first;
      bool marker =
          name.size() >= 22 && name.compare(name.size() - 22, 22, "VarnoldBackup_QDW2.qkb") == 0;
      it = marker ? unpacked.erase(it) : std::next(it);
    }
    EXPECT_EQ(unpacked, product_.ProductSnapshot());
  }

  testing::ProductMachine product_;
  testing::ScriptedPrompts prompts_;
  CompressPacker packer_;
  engine::CBackupRestore engine_{product_.platform(), prompts_, packer_};
};

TEST_F(CompressVolumesTest, OneVolumeSetUnpacksToTheRepository) {
  ASSERT_EQ(engine_.Backup(testing::ProductMachine::kRepository, "D:\\Backups", "Full"), 0);
  EXPECT_EQ(engine_.archive_path(), "D:\\Backups\\Full.qdw");
  EXPECT_FALSE(product_.machine().Exists("D:\\Backups\\Full_add2.qdw"));
  ExpectSetMatchesRepository({"D:\\Backups\\Full.qdw"});
}

TEST_F(CompressVolumesTest, ThreeVolumeSetIsNamedWithItsCount) {
  setenv("QDW_CAB_VOLUME_LIMIT", "20000", 1);
  ASSERT_EQ(engine_.Backup(testing::ProductMachine::kRepository, "D:\\Backups", "Span"), 0);
  EXPECT_EQ(engine_.archive_path(), "D:\\Backups\\Span_bak3.qdw");
  EXPECT_TRUE(product_.machine().Exists("D:\\Backups\\Span_add2.qdw"));
  EXPECT_TRUE(product_.machine().Exists("D:\\Backups\\Span_add3.qdw"));
  EXPECT_FALSE(product_.machine().Exists("D:\\Backups\\Span_add4.qdw"));
  EXPECT_FALSE(product_.machine().Exists("D:\\Backups\\Span.qdw"));
  EXPECT_FALSE(product_.machine().Exists("D:\\Backups\\QDWBackUpFileTemp"));
  ExpectSetMatchesRepository(
      {"D:\\Backups\\Span_bak3.qdw", "D:\\Backups\\Span_add2.qdw", "D:\\Backups\\Span_add3.qdw"});
}

}  // namespace
}  // namespace qdw::backup
