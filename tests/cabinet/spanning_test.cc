// Sets that span several volumes, checked by every reader.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "tests/cabinet/set_check.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {
namespace {

uint64_t FileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

void ExpectVolumesWithin(const PackResult& result, uint64_t limit) {
  for (const std::string& volume : result.volumes) EXPECT_LE(FileSize(volume), limit) << volume;
}

TEST(CabinetSpanningTest, SeveralVolumesWithFilesStraddlingTheBreaks) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  for (int i = 0; i < 12; ++i) {
    WriteFileBytes(root + "docs/file" + std::to_string(i) + ".dat",
                   MakeContent(i % 2 ? Content::kRandom : Content::kText, 60000 + 23000 * i, i));
  }
  WriteFileBytes(root + "docs/empty.txt", "");
  ScopedVolumeLimit limit(200000);
  PackResult result = PackAndCheck(root, dir.path());
  ASSERT_GE(result.volumes.size(), 4u);
  ExpectVolumesWithin(result, 200000);
  EXPECT_GT(result.continuations_placed, 0);
  EXPECT_EQ(result.continuation_names[0], "Set_add2.qdw");
  EXPECT_EQ(result.continuation_names.back(),
            "Set_add" + std::to_string(result.volumes.size()) + ".qdw");
}

TEST(CabinetSpanningTest, FileBiggerThanAVolume) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "before.txt", MakeContent(Content::kText, 30000, 1));
  WriteFileBytes(root + "huge.bin", MakeContent(Content::kRandom, 700000, 2));
  WriteFileBytes(root + "z after.txt", MakeContent(Content::kText, 3000, 3));
  ScopedVolumeLimit limit(100000);
  PackResult result = PackAndCheck(root, dir.path());
  EXPECT_GE(result.volumes.size(), 7u);
  ExpectVolumesWithin(result, 100000);
}

// A limit smaller than one compressed block splits that block over three or more volumes.
TEST(CabinetSpanningTest, TinyVolumesSplitOneBlockSeveralTimes) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "a.bin", MakeContent(Content::kRandom, 70000, 4));
  WriteFileBytes(root + "b.txt", MakeContent(Content::kText, 9000, 5));
  ScopedVolumeLimit limit(6000);
  PackResult result = PackAndCheck(root, dir.path());
  EXPECT_GE(result.volumes.size(), 12u);
  ExpectVolumesWithin(result, 6000);
}

TEST(CabinetSpanningTest, ManySmallFilesAroundTheBreaks) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  for (int i = 0; i < 400; ++i) {
    WriteFileBytes(root + "d" + std::to_string(i / 50) + "/small " + std::to_string(i) + ".txt",
                   i % 7 == 0 ? "" : MakeContent(Content::kRandom, 100 + (i * 37) % 900, i));
  }
  ScopedVolumeLimit limit(30000);
  PackResult result = PackAndCheck(root, dir.path());
  EXPECT_GE(result.volumes.size(), 5u);
  ExpectVolumesWithin(result, 30000);
}

TEST(CabinetSpanningTest, CcabSizeLimitIsHonouredWithoutTheVariable) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "r.bin", MakeContent(Content::kRandom, 300000, 6));
  PackOptions options;
  options.volume_limit = 120000;
  PackResult result = PackAndCheck(root, dir.path(), options);
  EXPECT_EQ(result.volumes.size(), 3u);
  ExpectVolumesWithin(result, 120000);
}

// Reading volume after volume, as the restore does: the volume where a file begins writes it
// whole (reading on into the next volume); later volumes announce it as partial.
TEST(CabinetSpanningTest, EachFileIsWrittenByTheVolumeWhereItBegins) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "1.bin", MakeContent(Content::kRandom, 150000, 7));
  WriteFileBytes(root + "2.bin", MakeContent(Content::kRandom, 150000, 8));
  ScopedVolumeLimit limit(110000);
  std::string out = dir.Sub("out");
  PackResult packed = PackTree(root, out);
  ASSERT_EQ(packed.volumes.size(), 3u);

  std::string back = dir.Sub("back");
  ExtractResult first = ExtractVolume(packed.volumes[0], back);
  ASSERT_TRUE(first.ok);
  ASSERT_EQ(first.copied.size(), 1u);
  EXPECT_EQ(first.copied[0].name, "1.bin");
  EXPECT_EQ(first.next_cabinets, std::vector<std::string>{"Set_add2.qdw"});
  EXPECT_EQ(ReadFileBytes(back + "1.bin"), ReadFileBytes(root + "1.bin"));

  ExtractResult second = ExtractVolume(packed.volumes[1], back);
  ASSERT_TRUE(second.ok);
  EXPECT_EQ(second.partial, std::vector<std::string>{"1.bin"});
  ASSERT_EQ(second.copied.size(), 1u);
  EXPECT_EQ(second.copied[0].name, "2.bin");

  ExtractResult third = ExtractVolume(packed.volumes[2], back);
  ASSERT_TRUE(third.ok);
  EXPECT_EQ(third.partial, std::vector<std::string>{"2.bin"});
  EXPECT_TRUE(third.copied.empty());
  EXPECT_EQ(SnapshotTree(back), SnapshotTree(root));
}

TEST(CabinetSpanningTest, HeadersNumberTheVolumesOfOneSet) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "r.bin", MakeContent(Content::kRandom, 250000, 9));
  ScopedVolumeLimit limit(70000);
  PackOptions options;
  options.set_id = 0x1234;
  PackResult packed = PackTree(root, dir.Sub("out"), options);
  ASSERT_GE(packed.volumes.size(), 4u);
  for (size_t i = 0; i < packed.volumes.size(); ++i) {
    CabinetHeaderInfo info = ReadCabinetInfo(packed.volumes[i]);
    ASSERT_TRUE(info.is_cabinet);
    EXPECT_EQ(info.info.setID, 0x1234);
    EXPECT_EQ(info.info.iCabinet, i);
    EXPECT_EQ(info.info.hasprev != 0, i > 0);
    EXPECT_EQ(info.info.hasnext != 0, i + 1 < packed.volumes.size());
  }
}

// Compression runs on worker threads; the volumes must not depend on how many.
TEST(CabinetSpanningTest, OutputIsTheSameForAnyThreadCount) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  for (int i = 0; i < 30; ++i) {
    WriteFileBytes(root + "f" + std::to_string(i),
                   MakeContent(i % 3 ? Content::kText : Content::kRandom, 1000 + 9973 * i, i));
  }
  ScopedVolumeLimit limit(90000);
  std::vector<std::vector<std::string>> sets;
  for (const char* threads : {"1", "2", "5"}) {
    setenv("QDW_THREADS", threads, 1);
    PackResult packed = PackTree(root, dir.Sub(std::string("out") + threads));
    std::vector<std::string> volumes;
    for (const std::string& volume : packed.volumes) volumes.push_back(ReadFileBytes(volume));
    sets.push_back(volumes);
  }
  unsetenv("QDW_THREADS");
  ASSERT_GE(sets[0].size(), 3u);
  EXPECT_TRUE(sets[0] == sets[1]);
  EXPECT_TRUE(sets[0] == sets[2]);
}

}  // namespace
}  // namespace qdw::cab::testing
