// Version, names, clock and time zone, locale, waits and environment, as they hold on any
// machine.
#include <gtest/gtest.h>

#include <memory>

#include "platform/system_info.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

class SystemInfoContractTest : public ::testing::Test {
 protected:
  SystemInfo& system() { return port_->platform().system(); }
  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
};

TEST_F(SystemInfoContractTest, ReportsAnNtVersionNamesAndALocale) {
  const OsVersion version = system().Version();
  EXPECT_EQ(version.platform_id, kPlatformNt);
  EXPECT_GE(version.major, 5u);
  std::string computer;
  ASSERT_EQ(system().ComputerName(&computer), kSuccess);
  EXPECT_FALSE(computer.empty());
  std::string user;
  ASSERT_EQ(system().UserName(&user), kSuccess);
  EXPECT_FALSE(user.empty());
  // The workstation service names the same user.
  std::string domain;
  std::string workstation_user;
  ASSERT_EQ(port_->platform().shares().WorkstationUser(&domain, &workstation_user), kSuccess);
  EXPECT_EQ(workstation_user, user);
  EXPECT_NE(system().ThreadLocale(), 0u);
  EXPECT_NE(system().AnsiCodePage(), 0u);
}

TEST_F(SystemInfoContractTest, TheClockIsCurrentAndLocalTimeConvertsBothWays) {
  const FileTime now = system().Now();
  EXPECT_GE(FileTimeToCalendar(now).year, 2024);
  EXPECT_EQ(system().LocalToUtc(system().UtcToLocal(now)), now);
}

TEST_F(SystemInfoContractTest, EnvironmentNamesIgnoreCase) {
  std::string upper;
  std::string lower;
  ASSERT_TRUE(system().Environment("TMP", &upper));
  EXPECT_FALSE(upper.empty());
  ASSERT_TRUE(system().Environment("tmp", &lower));
  EXPECT_EQ(lower, upper);
  EXPECT_FALSE(system().Environment("NO_SUCH_VARIABLE_QDW", &lower));
}

}  // namespace
}  // namespace qdw::platform
