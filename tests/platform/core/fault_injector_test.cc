#include "platform/sim/fault_injector.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace qdw::sim {
namespace {

class FaultInjectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("qdw-faults-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(root_);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::filesystem::path root_;
};

TEST_F(FaultInjectorTest, NoFaultsMeansSuccess) {
  MachineStore store(root_.string());
  FaultInjector faults(store);
  EXPECT_EQ(faults.Check("FileSystem.Copy", "C:\\a"), platform::kSuccess);
  EXPECT_EQ(faults.ChargeWrite('C', 1 << 30), platform::kSuccess);
  EXPECT_FALSE(std::filesystem::exists(root_ / "faults.json"));
}

TEST_F(FaultInjectorTest, NthMatchingCallFailsForTheGivenNumberOfTimes) {
  MachineStore store(root_.string());
  FaultInjector faults(store);
  faults.AddRule("FileSystem.Copy", 2, platform::kErrorDiskFull, "*\\QDW\\*.pdf", 2);
  EXPECT_EQ(faults.Check("FileSystem.Copy", "C:\\R\\QDW\\a.pdf"), platform::kSuccess);
  // Calls on other paths or other operations are not counted.
  EXPECT_EQ(faults.Check("FileSystem.Copy", "C:\\R\\QDW\\a.txt"), platform::kSuccess);
  EXPECT_EQ(faults.Check("FileSystem.Move", "C:\\R\\QDW\\b.pdf"), platform::kSuccess);
  EXPECT_EQ(faults.Check("FileSystem.Copy", "c:\\r\\qdw\\b.PDF"), platform::kErrorDiskFull);
  EXPECT_EQ(faults.Check("FileSystem.Copy", "C:\\R\\QDW\\c.pdf"), platform::kErrorDiskFull);
  EXPECT_EQ(faults.Check("FileSystem.Copy", "C:\\R\\QDW\\d.pdf"), platform::kSuccess);
}

TEST_F(FaultInjectorTest, TimesZeroFailsEveryCallFromTheNthOn) {
  MachineStore store(root_.string());
  FaultInjector faults(store);
  faults.AddRule("Services.Stop", 1, platform::kErrorAccessDenied, "", 0);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(faults.Check("Services.Stop", "CiSvc"), platform::kErrorAccessDenied);
  }
  faults.Clear();
  EXPECT_EQ(faults.Check("Services.Stop", "CiSvc"), platform::kSuccess);
}

TEST_F(FaultInjectorTest, DiskFullBudgetIsSpentByWrites) {
  MachineStore store(root_.string());
  FaultInjector faults(store);
  faults.SetDiskFull('d', 100);
  EXPECT_EQ(faults.ChargeWrite('C', 1000), platform::kSuccess);
  EXPECT_EQ(faults.ChargeWrite('D', 60), platform::kSuccess);
  EXPECT_EQ(faults.ChargeWrite('d', 50), platform::kErrorDiskFull);
  EXPECT_EQ(faults.ChargeWrite('D', 40), platform::kSuccess);
  EXPECT_EQ(faults.ChargeWrite('D', 1), platform::kErrorDiskFull);
}

}  // namespace
}  // namespace qdw::sim
