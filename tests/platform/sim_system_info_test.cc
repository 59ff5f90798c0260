// The stand-in machine's system facts: those of its description, its fixed or virtual clock,
// debugger output to a file, and faults.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/system_info.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

TEST(SimSystemInfoTest, ReportsTheMachineVersionNamesAndLocale) {
  SimTestMachine machine(sim::Json{{"os_version", {{"major", 5}, {"minor", 1}, {"build", 2600}}},
                                   {"thread_locale", 1036}});
  SystemInfo& system = machine.platform().system();
  OsVersion version = system.Version();
  EXPECT_EQ(version.platform_id, kPlatformNt);
  EXPECT_EQ(version.major, 5u);
  EXPECT_EQ(version.minor, 1u);
  EXPECT_EQ(version.build, 2600u);
  std::string name;
  EXPECT_EQ(system.ComputerName(&name), kSuccess);
  EXPECT_EQ(name, "WORKSTATION");
  EXPECT_EQ(system.UserName(&name), kSuccess);
  EXPECT_EQ(name, "jo");
  EXPECT_EQ(system.ThreadLocale(), 1036u);
  machine.machine().faults().AddRule("SystemInfo.UserName", 1, kErrorNoToken);
  EXPECT_EQ(system.UserName(&name), kErrorNoToken);
}

TEST(SimSystemInfoTest, AFixedClockAndTheTimeZoneGiveLocalTime) {
  SimTestMachine machine;
  SystemInfo& system = machine.platform().system();
  CalendarTime now = FileTimeToCalendar(system.Now());
  EXPECT_EQ(now.year, 2026);
  EXPECT_EQ(now.month, 12);
  EXPECT_EQ(now.day, 6);
  EXPECT_EQ(now.hour, 9);
  EXPECT_EQ(now.minute, 5);
  CalendarTime local = FileTimeToCalendar(system.UtcToLocal(system.Now()));
  EXPECT_EQ(local.hour, 10);
  EXPECT_EQ(system.LocalToUtc(system.UtcToLocal(system.Now())), system.Now());
}

TEST(SimSystemInfoTest, TheHostClockRunsWhenTheMachineFixesNone) {
  SimTestMachine machine(sim::Json{{"clock", nullptr}});
  CalendarTime now = FileTimeToCalendar(machine.platform().system().Now());
  EXPECT_GE(now.year, 2024);
}

TEST(SimSystemInfoTest, VirtualSleepMovesTheTickCountWithoutWaiting) {
  SimTestMachine machine(sim::Json{{"clock", {{"virtual_sleep", true}}}});
  SystemInfo& system = machine.platform().system();
  uint64_t before = system.TickCount();
  system.Sleep(3600 * 1000);
  EXPECT_GE(system.TickCount() - before, 3600u * 1000);
}

TEST(SimSystemInfoTest, DebugOutputAndEnvironment) {
  SimTestMachine machine;
  SystemInfo& system = machine.platform().system();
  system.DebugOutput("STOP SERVICE");
  system.DebugOutput("START SERVICE");
  std::ifstream in(machine.folder() + "/debug.log");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "STOP SERVICE\nSTART SERVICE\n");
  std::string value;
  EXPECT_TRUE(system.Environment("tmp", &value));
  EXPECT_EQ(value, "C:\\Users\\jo\\AppData\\Local\\Temp");
  EXPECT_FALSE(system.Environment("NO_SUCH_VARIABLE_QDW", &value));
}

}  // namespace
}  // namespace qdw::platform
