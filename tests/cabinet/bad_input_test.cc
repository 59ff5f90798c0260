// Corrupt, truncated and hostile volumes end with an error code, never a crash, a hang or a
// large allocation.
#include <gtest/gtest.h>

#include <filesystem>

#include "cabinet/fdi.h"
#include "tests/cabinet/cab_crafter.h"
#include "tests/cabinet/posix_fdi.h"
#include "tests/cabinet/set_check.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {
namespace {

class CabinetBadInputTest : public ::testing::Test {
 protected:
  // Extracts `bytes` written as a cabinet file; returns the result.
  ExtractResult ExtractBytes(const std::string& bytes, const ExtractOptions& options = {}) {
    std::string path = dir_.path() + "in.cab";
    WriteFileBytes(path, bytes);
    ExtractResult result = ExtractVolume(path, dir_.Sub("out"), options);
    EXPECT_EQ(result.open_handles_left, 0);
    return result;
  }

  // Expects FDICopy (not FDIIsCabinet) to fail with `code`.
  void ExpectCopyFails(const std::string& bytes, int code) {
    ExtractResult result = ExtractBytes(bytes);
    EXPECT_TRUE(result.is_cabinet);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.erf.erfOper, code);
  }

  std::string Valid() {
    return Craft(SimpleCabinet({{"a.txt", MakeContent(Content::kText, 50000, 1)},
                                {"b.txt", MakeContent(Content::kText, 20000, 2)}}));
  }

  ScratchDir dir_;
};

TEST_F(CabinetBadInputTest, CraftedCabinetIsReadWhenIntact) {
  ExtractResult result = ExtractBytes(Valid());
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.copied.size(), 2u);
}

TEST_F(CabinetBadInputTest, NotACabinetAndUnknownVersion) {
  ExtractResult text = ExtractBytes("Just some text, certainly no cabinet here.");
  EXPECT_FALSE(text.is_cabinet);
  EXPECT_EQ(text.erf.erfOper, FDIERROR_NOT_A_CABINET);
  EXPECT_FALSE(ExtractBytes("").is_cabinet);

  CraftCabinet cabinet = SimpleCabinet({{"a", "abc"}});
  cabinet.version_major = 2;
  ExtractResult version = ExtractBytes(Craft(cabinet));
  EXPECT_FALSE(version.is_cabinet);
  EXPECT_EQ(version.erf.erfOper, FDIERROR_UNKNOWN_CABINET_VERSION);
}

TEST_F(CabinetBadInputTest, TruncatedAnywhere) {
  std::string valid = Valid();
  for (size_t length : {size_t{4}, size_t{20}, size_t{35}, size_t{40}, size_t{60}, valid.size() / 2,
                        valid.size() - 1}) {
    ExtractResult result = ExtractBytes(valid.substr(0, length));
    EXPECT_FALSE(result.ok) << length;
    EXPECT_EQ(result.erf.erfOper, FDIERROR_CORRUPT_CABINET) << length;
  }
}

TEST_F(CabinetBadInputTest, OffsetsOutsideTheFile) {
  std::string bad_files = Valid();
  PatchU32(&bad_files, 16, 0x7FFFFFF0);  // coffFiles
  ExpectCopyFails(bad_files, FDIERROR_CORRUPT_CABINET);

  std::string bad_data = Valid();
  PatchU32(&bad_data, kFirstFolderOffset, 0xFFFFFF00);  // coffCabStart
  ExtractResult result = ExtractBytes(bad_data);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.erf.erfOper, FDIERROR_CORRUPT_CABINET);

  // Data start inside the directory: the blocks read there are garbage.
  std::string inside = Valid();
  PatchU32(&inside, kFirstFolderOffset, 40);
  ExpectCopyFails(inside, FDIERROR_CORRUPT_CABINET);
}

TEST_F(CabinetBadInputTest, HugeCountsDoNotAllocateForAbsentEntries) {
  std::string files = Valid();
  PatchU16(&files, 28, 0xFFFF);  // cFiles
  ExpectCopyFails(files, FDIERROR_CORRUPT_CABINET);
  std::string folders = Valid();
  PatchU16(&folders, 26, 0xFFFF);  // cFolders
  ExtractResult result = ExtractBytes(folders);
  EXPECT_FALSE(result.ok);
  // A block count beyond the blocks present only matters once data is missing.
  std::string blocks = Valid();
  PatchU16(&blocks, kFirstFolderOffset + 4, 0xFFFF);  // cCFData
  EXPECT_TRUE(ExtractBytes(blocks).ok);
  PatchU16(&blocks, kFirstFolderOffset + 4, 1);
  ExpectCopyFails(blocks, FDIERROR_CORRUPT_CABINET);
  EXPECT_LT(result.peak_memory, 4u << 20);
}

TEST_F(CabinetBadInputTest, BadChecksum) {
  std::string bytes = Valid();
  size_t data = ReadU32(bytes, kFirstFolderOffset);
  bytes[data + 20] ^= 0x40;  // a payload byte of the first block
  ExpectCopyFails(bytes, FDIERROR_CORRUPT_CABINET);
}

TEST_F(CabinetBadInputTest, OversizedBlocks) {
  CraftCabinet big_output = SimpleCabinet({{"a", "abc"}});
  big_output.folders[0].blocks[0].cb_uncomp = 40000;
  big_output.files[0].size = 40000;
  ExpectCopyFails(Craft(big_output), FDIERROR_CORRUPT_CABINET);

  CraftCabinet big_input = SimpleCabinet({{"a", "abc"}});
  big_input.folders[0].blocks[0].payload += std::string(40000, 'x');
  ExpectCopyFails(Craft(big_input), FDIERROR_CORRUPT_CABINET);
}

// A block that inflates far beyond its stated size stops at that size.
TEST_F(CabinetBadInputTest, DeflateBombAndShortBlocks) {
  CraftCabinet bomb = SimpleCabinet({{"a", std::string(100, 'x')}});
  bomb.folders[0].blocks[0].payload = MszipPayload(std::string(8 << 20, '\0'));
  ExpectCopyFails(Craft(bomb), FDIERROR_MDI_FAIL);

  CraftCabinet short_block = SimpleCabinet({{"a", std::string(100, 'x')}});
  short_block.folders[0].blocks[0].payload = MszipPayload(std::string(50, 'x'));
  ExpectCopyFails(Craft(short_block), FDIERROR_MDI_FAIL);

  CraftCabinet no_signature = SimpleCabinet({{"a", std::string(100, 'x')}});
  no_signature.folders[0].blocks[0].payload[0] = 'X';
  ExpectCopyFails(Craft(no_signature), FDIERROR_MDI_FAIL);

  CraftCabinet quantum = SimpleCabinet({{"a", std::string(100, 'x')}});
  quantum.folders[0].type = 2;
  ExpectCopyFails(Craft(quantum), FDIERROR_BAD_COMPR_TYPE);
}

TEST_F(CabinetBadInputTest, HostileDirectoryEntries) {
  CraftCabinet beyond = SimpleCabinet({{"a", "abc"}});
  beyond.files[0].size = 100000;  // more than the folder holds
  ExpectCopyFails(Craft(beyond), FDIERROR_CORRUPT_CABINET);

  CraftCabinet folder = SimpleCabinet({{"a", "abc"}});
  folder.files[0].folder = 7;
  ExpectCopyFails(Craft(folder), FDIERROR_CORRUPT_CABINET);

  CraftCabinet continued = SimpleCabinet({{"a", "abc"}});
  continued.files[0].folder = 0xFFFE;  // goes on, but the header has no next volume
  ExpectCopyFails(Craft(continued), FDIERROR_CORRUPT_CABINET);

  CraftCabinet backwards = SimpleCabinet({{"a", "abcdef"}, {"b", "ghijkl"}});
  std::swap(backwards.files[0], backwards.files[1]);
  ExpectCopyFails(Craft(backwards), FDIERROR_CORRUPT_CABINET);

  CraftCabinet long_name = SimpleCabinet({{std::string(300, 'n'), "abc"}});
  ExpectCopyFails(Craft(long_name), FDIERROR_CORRUPT_CABINET);

  CraftCabinet empty_name = SimpleCabinet({{"", "abc"}});
  ExpectCopyFails(Craft(empty_name), FDIERROR_CORRUPT_CABINET);
}

class CabinetBrokenSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.Sub("src");
    WriteFileBytes(root_ + "big.bin", MakeContent(Content::kRandom, 300000, 5));
    ScopedVolumeLimit limit(110000);
    packed_ = PackTree(root_, dir_.Sub("out"));
    ASSERT_EQ(packed_.volumes.size(), 3u);
  }

  ScratchDir dir_;
  std::string root_;
  PackResult packed_;
};

TEST_F(CabinetBrokenSetTest, MissingNextVolumeIsAskedForOnce) {
  std::filesystem::remove(packed_.volumes[1]);
  ExtractResult result = ExtractVolume(packed_.volumes[0], dir_.Sub("back"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.erf.erfOper, FDIERROR_CABINET_NOT_FOUND);
  EXPECT_EQ(result.next_cabinets.size(), 1u);
  EXPECT_EQ(result.open_handles_left, 0);
}

// The last link leads back to the first volume: refused, never followed round.
TEST_F(CabinetBrokenSetTest, NextCabinetLoop) {
  std::filesystem::copy_file(packed_.volumes[0], packed_.volumes[2],
                             std::filesystem::copy_options::overwrite_existing);
  ExtractResult result = ExtractVolume(packed_.volumes[0], dir_.Sub("back"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.erf.erfOper, FDIERROR_WRONG_CABINET);
  EXPECT_EQ(result.next_cabinets.size(), 2u);
}

TEST_F(CabinetBrokenSetTest, NextVolumeFromAnotherSet) {
  ScratchDir other;
  std::string root = other.Sub("src");
  WriteFileBytes(root + "x.bin", MakeContent(Content::kRandom, 300000, 6));
  ScopedVolumeLimit limit(110000);
  PackOptions options;
  options.set_id = 99;
  PackResult foreign = PackTree(root, other.Sub("out"), options);
  std::filesystem::copy_file(foreign.volumes[1], packed_.volumes[1],
                             std::filesystem::copy_options::overwrite_existing);
  ExtractResult result = ExtractVolume(packed_.volumes[0], dir_.Sub("back"));
  EXPECT_EQ(result.erf.erfOper, FDIERROR_WRONG_CABINET);
}

TEST_F(CabinetBrokenSetTest, NextVolumeWithOtherReserveSizes) {
  ScratchDir other;
  std::string root = other.Sub("src");
  WriteFileBytes(root + "x.bin", MakeContent(Content::kRandom, 300000, 6));
  ScopedVolumeLimit limit(110000);
  PackOptions options;
  options.reserve_data = 4;
  PackResult reserved = PackTree(root, other.Sub("out"), options);
  std::filesystem::copy_file(reserved.volumes[1], packed_.volumes[1],
                             std::filesystem::copy_options::overwrite_existing);
  ExtractResult result = ExtractVolume(packed_.volumes[0], dir_.Sub("back"));
  EXPECT_EQ(result.erf.erfOper, FDIERROR_RESERVE_MISMATCH);
}

TEST_F(CabinetBrokenSetTest, NextCabinetPathCanBeChangedOrRefused) {
  std::string moved = dir_.Sub("moved");
  std::filesystem::rename(packed_.volumes[1], moved + "Set_add2.qdw");
  std::filesystem::rename(packed_.volumes[2], moved + "Set_add3.qdw");
  ExtractOptions redirect;
  redirect.on_next_cabinet = [&](FDINOTIFICATION* notification) -> intptr_t {
    snprintf(notification->psz3, CB_MAX_CAB_PATH, "%s", moved.c_str());
    return 0;
  };
  ExtractResult result = ExtractVolume(packed_.volumes[0], dir_.Sub("back"), redirect);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(ReadFileBytes(dir_.path() + "back/big.bin"), ReadFileBytes(root_ + "big.bin"));

  ExtractOptions refuse;
  refuse.on_next_cabinet = [](FDINOTIFICATION*) -> intptr_t { return -1; };
  ExtractResult refused = ExtractVolume(packed_.volumes[0], dir_.Sub("back2"), refuse);
  EXPECT_EQ(refused.erf.erfOper, FDIERROR_USER_ABORT);
  EXPECT_EQ(refused.open_handles_left, 0);
}

TEST_F(CabinetBrokenSetTest, SkippedFileNeedsNoNextVolume) {
  std::filesystem::remove(packed_.volumes[1]);
  ExtractOptions skip_all;
  skip_all.skip = [](const std::string&) { return true; };
  ExtractResult result = ExtractVolume(packed_.volumes[0], dir_.Sub("back"), skip_all);
  EXPECT_TRUE(result.ok);
  EXPECT_TRUE(result.next_cabinets.empty());
}

TEST_F(CabinetBadInputTest, FailingTargetWrite) {
  ExtractOptions full;
  full.target = "/dev/full";
  ExtractResult result = ExtractBytes(Valid(), full);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.erf.erfOper, FDIERROR_TARGET_FILE);
}

}  // namespace
}  // namespace qdw::cab::testing
