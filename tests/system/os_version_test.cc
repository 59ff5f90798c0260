#include "system/os_version.h"

#include <gtest/gtest.h>

#include "tests/platform/sim_test_machine.h"

namespace qdw::system {
namespace {

struct VersionCase {
  uint32_t platform_id;
  uint32_t major;
  uint32_t minor;
  int os_class;
  int seven_test;
};

TEST(OsVersionTest, EachFamilyHasItsClass) {
  const VersionCase cases[] = {
      {platform::kPlatformWin32s, 3, 10, kOsClass9x, 6},
      {platform::kPlatformWindows, 4, 10, kOsClass9x, 6},
      {platform::kPlatformNt, 3, 51, kOsClassNt4, 6},
      {platform::kPlatformNt, 4, 0, kOsClassNt4, 6},
      {platform::kPlatformNt, 5, 1, kOsClassNt5, 6},
      {platform::kPlatformNt, 6, 0, kOsClassVista, 6},
      {platform::kPlatformNt, 6, 1, kOsClassVista, 7},
      {platform::kPlatformNt, 6, 2, kOsClassVista, 6},
      {platform::kPlatformNt, 10, 0, kOsClassNt5, 6},
      {3 /* an unknown platform */, 6, 1, kOsClassNt5, 7},
  };
  for (const VersionCase& c : cases) {
    testing::SimTestMachine machine(sim::Json{
        {"os_version", {{"platform_id", c.platform_id}, {"major", c.major}, {"minor", c.minor}}}});
    EXPECT_EQ(ClassifyOperatingSystem(machine.platform().system()), c.os_class)
        << c.platform_id << " " << c.major << "." << c.minor;
    EXPECT_EQ(WindowsSevenTest(machine.platform().system()), c.seven_test)
        << c.platform_id << " " << c.major << "." << c.minor;
  }
}

}  // namespace
}  // namespace qdw::system
