// A volume copied piece by piece: every piece counted, the copy whole, and nothing half-written
// left behind when the copy cannot be finished.
#include "engine/restore/volume_copy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/sim_test_machine.h"

namespace qdw::restore {
namespace {

constexpr char kSource[] = "D:\\Backups\\Weekly.qdw";
constexpr char kTarget[] = "C:\\Temp\\Weekly.qdw";

TEST(VolumeCopyTest, CountsEveryPieceAndLeavesNoHalfCopy) {
  testing::SimTestMachine machine;
  platform::FileSystem& files = machine.platform().files();
  std::string content(10000, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 % 251);
  machine.PutFile(kSource, content);
  machine.PutFile("C:\\Temp\\keep.txt", "");

  std::vector<uint64_t> counted;
  const auto count = [&](uint64_t bytes) { counted.push_back(bytes); };
  ASSERT_TRUE(CopyVolume(files, kSource, kTarget, count, 4096));
  EXPECT_EQ(counted, (std::vector<uint64_t>{4096, 8192, 10000}));
  EXPECT_EQ(machine.ReadFile(kTarget), content);

  // A target already there is never replaced.
  machine.PutFile(kTarget, "earlier");
  EXPECT_FALSE(CopyVolume(files, kSource, kTarget, count, 4096));
  EXPECT_EQ(machine.ReadFile(kTarget), "earlier");
  ASSERT_EQ(files.Delete(kTarget), platform::kSuccess);

  // A drive that fills up half way, a failing write and a missing volume leave no target.
  const sim::FaultInjector& faults = machine.machine().faults();
  faults.SetDiskFull('C', 5000);
  EXPECT_FALSE(CopyVolume(files, kSource, kTarget, count, 4096));
  EXPECT_FALSE(machine.Exists(kTarget));
  faults.Clear();
  faults.AddRule("File.Write", 2, platform::kErrorWriteFault, "*Weekly.qdw");
  EXPECT_FALSE(CopyVolume(files, kSource, kTarget, count, 4096));
  EXPECT_FALSE(machine.Exists(kTarget));
  faults.Clear();
  EXPECT_FALSE(CopyVolume(files, "D:\\Backups\\Missing.qdw", kTarget, count, 4096));
  EXPECT_FALSE(machine.Exists(kTarget));
}

}  // namespace
}  // namespace qdw::restore
