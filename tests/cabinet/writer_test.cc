// The writer's limits, refusals and callbacks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "tests/cabinet/external_check.h"
#include "tests/cabinet/posix_fci.h"
#include "tests/cabinet/posix_fdi.h"
#include "tests/cabinet/set_check.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {
namespace {

class CabinetWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.Sub("src");
    out_ = dir_.Sub("out");
    WriteFileBytes(root_ + "a.txt", MakeContent(Content::kText, 100000, 1));
    WriteFileBytes(root_ + "b.bin", MakeContent(Content::kRandom, 50000, 2));
  }

  void ExpectFailure(const PackResult& result, int code) {
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.erf.erfOper, code);
    EXPECT_EQ(result.erf.fError, 1);
    EXPECT_EQ(result.open_handles_left, 0);
  }

  bool NothingWritten() { return std::filesystem::is_empty(out_); }

  ScratchDir dir_;
  std::string root_;
  std::string out_;
};

// A file larger than a folder can describe is refused before anything is read.
TEST_F(CabinetWriterTest, FileLargerThanAFolderIsRefused) {
  std::string huge = root_ + "huge.bin";
  WriteFileBytes(huge, "");
  ASSERT_EQ(truncate(huge.c_str(), off_t{CAB_MAX_FOLDER_BYTES} + 1), 0);
  ExpectFailure(PackFiles({{huge, "huge.bin"}}, out_ + "Set.qdw"), FCIERR_CAB_FORMAT_LIMIT);
  EXPECT_TRUE(NothingWritten());
}

// Readers refuse a cabinet without files, so an empty set is refused and nothing is written.
TEST_F(CabinetWriterTest, EmptySetIsRefused) {
  ExpectFailure(PackFiles({}, out_ + "Set.qdw"), FCIERR_CAB_FORMAT_LIMIT);
  EXPECT_TRUE(NothingWritten());
}

TEST_F(CabinetWriterTest, UnusableArguments) {
  ExpectFailure(PackFiles({{root_ + "a.txt", std::string(256, 'n')}}, out_ + "Set.qdw"),
                FCIERR_CAB_FORMAT_LIMIT);
  ExpectFailure(PackFiles({{root_ + "a.txt", ""}}, out_ + "Set.qdw"), FCIERR_CAB_FORMAT_LIMIT);
  PackResult missing = PackFiles({{root_ + "missing.txt", "m"}}, out_ + "Set.qdw");
  ExpectFailure(missing, FCIERR_OPEN_SRC);
  EXPECT_EQ(missing.erf.erfType, ENOENT);
  PackOptions lzx;
  lzx.compression = tcompTYPE_LZX;
  ExpectFailure(PackFiles(ListTree(root_), out_ + "Set.qdw", lzx), FCIERR_BAD_COMPR_TYPE);
  PackOptions reserve;
  reserve.reserve_header = 60001;
  ExpectFailure(PackFiles(ListTree(root_), out_ + "Set.qdw", reserve), FCIERR_CAB_FORMAT_LIMIT);
  EXPECT_TRUE(NothingWritten());
}

TEST_F(CabinetWriterTest, CallbackFailuresAndRefusals) {
  PackOptions no_temp;
  no_temp.no_temp_names = true;
  ExpectFailure(PackFiles(ListTree(root_), out_ + "Set.qdw", no_temp), FCIERR_TEMP_FILE);

  PackOptions abort;
  abort.abort_in_status = true;
  ExpectFailure(PackFiles(ListTree(root_), out_ + "Set.qdw", abort), FCIERR_USER_ABORT);

  ScopedVolumeLimit limit(20000);
  PackOptions refuse;
  refuse.refuse_next_cabinet = true;
  ExpectFailure(PackFiles(ListTree(root_), out_ + "Set.qdw", refuse), FCIERR_USER_ABORT);

  ExpectFailure(PackFiles(ListTree(root_), out_ + "no such folder/Set.qdw"), FCIERR_CAB_FILE);

  PackOptions incompressible;
  incompressible.fail_on_incompressible = true;
  ExpectFailure(PackFiles(ListTree(root_), out_ + "Set.qdw", incompressible), FCIERR_MCI_FAIL);
}

// More files than one cabinet can list: the writer starts another volume.
TEST_F(CabinetWriterTest, FileCountLimitStartsANewVolume) {
  std::vector<SourceFile> files;
  WriteFileBytes(root_ + "tiny.txt", "tiny");
  for (int i = 0; i < 65545; ++i) {
    files.push_back({root_ + (i % 1000 ? "tiny.txt" : "a.txt"), "f" + std::to_string(i)});
  }
  PackResult result = PackFiles(files, out_ + "Set.qdw");
  ASSERT_TRUE(result.ok);
  ASSERT_EQ(result.volumes.size(), 2u);
  for (const std::string& volume : result.volumes) {
    EXPECT_LE(ReadCabinetInfo(volume).info.cFiles, 65535);
  }
  CheckStructure(result.volumes);
  std::string output;
  EXPECT_EQ(RunCommand("cabextract -q -t " + Quote(result.volumes[0]), &output), 0) << output;
  ExtractOptions discard;
  discard.target = "/dev/null";
  size_t copied = 0;
  for (const std::string& volume : result.volumes) {
    ExtractResult extracted = ExtractVolume(volume, out_, discard);
    EXPECT_TRUE(extracted.ok);
    copied += extracted.copied.size();
  }
  EXPECT_EQ(copied, files.size());
}

TEST_F(CabinetWriterTest, ReserveAreasAreReadByEveryReader) {
  PackOptions options;
  options.reserve_header = 100;
  options.reserve_folder = 7;
  options.reserve_data = 3;
  ScopedVolumeLimit limit(60000);
  PackResult result = PackAndCheck(root_, dir_.path(), options);
  EXPECT_GE(result.volumes.size(), 2u);
}

// Memory stays bounded whatever the input: here 24 MB through a 2 MB volume limit.
TEST_F(CabinetWriterTest, MemoryStaysBounded) {
  for (int i = 0; i < 6; ++i) {
    WriteFileBytes(root_ + "big" + std::to_string(i),
                   MakeContent(i % 2 ? Content::kRandom : Content::kText, 4 << 20, i));
  }
  ScopedVolumeLimit limit(2 << 20);
  PackResult result = PackTree(root_, out_);
  ASSERT_TRUE(result.ok);
  EXPECT_LT(result.peak_memory, 16u << 20);
  RecordProperty("peak_memory", std::to_string(result.peak_memory));
  EXPECT_EQ(result.open_handles_left, 0);
}

}  // namespace
}  // namespace qdw::cab::testing
