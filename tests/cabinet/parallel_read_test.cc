// Reading ahead and decoding folders on several threads changes nothing a caller can see:
// the same notifications in the same order, the same bytes, the same error at the same point,
// and memory that grows only by a fixed amount per thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cabinet/fdi.h"
#include "tests/cabinet/cab_crafter.h"
#include "tests/cabinet/posix_fdi.h"
#include "tests/cabinet/set_check.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {
namespace {

class ScopedThreads {
 public:
  explicit ScopedThreads(const std::string& count) { setenv("QDW_THREADS", count.c_str(), 1); }
  ~ScopedThreads() { unsetenv("QDW_THREADS"); }
};

struct SetReading {
  std::vector<std::string> events;
  std::map<std::string, std::string> tree;
  bool ok = true;
};

SetReading ReadSet(const std::vector<std::string>& volumes, const std::string& destination,
                   const std::string& threads, const ExtractOptions& options = {}) {
  ScopedThreads scoped(threads);
  SetReading reading;
  for (const std::string& volume : volumes) {
    ExtractResult result = ExtractVolume(volume, destination, options);
    reading.ok = reading.ok && result.ok;
    EXPECT_EQ(result.open_handles_left, 0);
    reading.events.insert(reading.events.end(), result.events.begin(), result.events.end());
  }
  reading.tree = SnapshotTree(destination);
  return reading;
}

TEST(CabinetParallelReadTest, SameNotificationsAndBytesForAnyThreadCount) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  for (int i = 0; i < 40; ++i) {
    Content kind = i % 4 == 0 ? Content::kRandom : Content::kText;
    WriteFileBytes(root + "d" + std::to_string(i % 3) + "/f" + std::to_string(i),
                   MakeContent(kind, i == 7 ? 0 : 500 + 7919 * i, i));
  }
  ScopedVolumeLimit limit(150000);
  PackOptions small_folders;
  small_folders.folder_threshold = 40000;
  PackResult packed = PackTree(root, dir.Sub("out"), small_folders);
  ASSERT_GE(packed.volumes.size(), 3u);

  SetReading serial = ReadSet(packed.volumes, dir.Sub("t1"), "1");
  ASSERT_TRUE(serial.ok);
  EXPECT_EQ(serial.tree, SnapshotTree(root));
  for (const char* threads : {"2", "5"}) {
    SetReading parallel = ReadSet(packed.volumes, dir.Sub(std::string("t") + threads), threads);
    EXPECT_TRUE(parallel.ok);
    EXPECT_EQ(parallel.events, serial.events) << threads;
    EXPECT_EQ(parallel.tree, serial.tree) << threads;
  }

  // Skipped files leave folders that were read ahead unused; what is written stays the same.
  ExtractOptions skip_some;
  skip_some.skip = [](const std::string& name) { return name.find('3') != std::string::npos; };
  SetReading skipping = ReadSet(packed.volumes, dir.Sub("s1"), "1", skip_some);
  SetReading skipping_parallel = ReadSet(packed.volumes, dir.Sub("s4"), "4", skip_some);
  EXPECT_TRUE(skipping.ok);
  EXPECT_EQ(skipping_parallel.events, skipping.events);
  EXPECT_EQ(skipping_parallel.tree, skipping.tree);
  EXPECT_LT(skipping.tree.size(), serial.tree.size());
}

// Three folders of one file each; the block of the last folder is damaged.
std::string CabinetWithDamagedLastFolder(const std::vector<std::string>& contents) {
  CraftCabinet cabinet;
  for (size_t i = 0; i < contents.size(); ++i) {
    CraftFolder folder;
    folder.blocks.push_back(
        {MszipPayload(contents[i]), static_cast<uint16_t>(contents[i].size()), true});
    cabinet.folders.push_back(folder);
    CraftFile file;
    file.name = "f" + std::to_string(i);
    file.size = static_cast<uint32_t>(contents[i].size());
    file.folder = static_cast<uint16_t>(i);
    cabinet.files.push_back(file);
  }
  std::string bytes = Craft(cabinet);
  size_t last_folder = kFirstFolderOffset + 8 * (contents.size() - 1);
  bytes[ReadU32(bytes, last_folder) + 12] ^= 0x40;  // a payload byte: the checksum fails
  return bytes;
}

TEST(CabinetParallelReadTest, DamageReadAheadIsReportedOnlyWhenReached) {
  ScratchDir dir;
  std::vector<std::string> contents = {MakeContent(Content::kText, 30000, 1),
                                       MakeContent(Content::kText, 20000, 2),
                                       MakeContent(Content::kText, 10000, 3)};
  std::string path = dir.path() + "damaged.cab";
  WriteFileBytes(path, CabinetWithDamagedLastFolder(contents));
  std::vector<std::string> serial_events;
  for (const char* threads : {"1", "4"}) {
    ScopedThreads scoped(threads);
    std::string out = dir.Sub(std::string("out") + threads);
    ExtractResult result = ExtractVolume(path, out);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.erf.erfOper, FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(result.open_handles_left, 0);
    // The files before the damage are complete and were closed before the failure.
    ASSERT_EQ(result.copied.size(), 2u) << threads;
    EXPECT_EQ(ReadFileBytes(out + "f0"), contents[0]);
    EXPECT_EQ(ReadFileBytes(out + "f1"), contents[1]);
    if (serial_events.empty()) serial_events = result.events;
    EXPECT_EQ(result.events, serial_events) << threads;

    // Never reaching the damaged folder, the copy succeeds although it was read ahead.
    ExtractOptions skip_last;
    skip_last.skip = [](const std::string& name) { return name == "f2"; };
    ExtractResult skipped = ExtractVolume(path, dir.Sub(std::string("skip") + threads), skip_last);
    EXPECT_TRUE(skipped.ok) << threads;
    EXPECT_EQ(skipped.copied.size(), 2u);
  }
}

TEST(CabinetParallelReadTest, MemoryGrowsOnlyByAFixedAmountPerThread) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "big.txt", MakeContent(Content::kText, 6000000, 9));
  WriteFileBytes(root + "noise.bin", MakeContent(Content::kRandom, 3000000, 10));
  PackResult packed = PackTree(root, dir.Sub("out"));
  ASSERT_EQ(packed.volumes.size(), 1u);
  size_t peaks[2] = {};
  int index = 0;
  for (const char* threads : {"1", "8"}) {
    ScopedThreads scoped(threads);
    ExtractResult result = ExtractVolume(packed.volumes[0], dir.Sub(std::string("t") + threads));
    EXPECT_TRUE(result.ok);
    peaks[index++] = result.peak_memory;
  }
  EXPECT_LT(peaks[0], 4u << 20);
  EXPECT_LT(peaks[1], peaks[0] + 7 * (2u << 20));
}

}  // namespace
}  // namespace qdw::cab::testing
