// The stand-in machine itself: path mapping and the machine description.
#include "platform/sim/sim_machine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/sim/sim_platform.h"
#include "tests/platform/sim_probe.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::sim {
namespace {

using testing::SimTestMachine;

TEST(SimMachineTest, MapsPathsIgnoringCaseAndKeepsMissingPartsAsGiven) {
  SimTestMachine m;
  m.PutFile("C:\\Users\\jo\\Docs\\Report.TXT", "x");
  std::string host;
  ASSERT_TRUE(m.machine().ToHostPath("c:\\USERS\\JO\\docs\\report.txt", &host));
  EXPECT_EQ(host, m.folder() + "/drives/C/Users/jo/Docs/Report.TXT");
  ASSERT_TRUE(m.machine().ToHostPath("C:/users/jo/NEW/Sub/a.txt", &host));
  EXPECT_EQ(host, m.folder() + "/drives/C/Users/jo/NEW/Sub/a.txt");
  ASSERT_TRUE(m.machine().ToHostPath("C:\\Users\\.\\jo\\..\\..\\..\\Windows\\", &host));
  EXPECT_EQ(host, m.folder() + "/drives/C/Windows");
  ASSERT_TRUE(m.machine().ToHostPath("D:", &host));
  EXPECT_EQ(host, m.folder() + "/drives/D");
  EXPECT_TRUE(std::filesystem::is_directory(host));  // drive folders appear on demand
}

// A name new to a folder is looked up in this process's index of the folder; what another
// process does there between two look-ups must show at once.
TEST(SimMachineTest, NewNamesSeeAnotherProcesssChangesAtOnce) {
  SimTestMachine m;
  m.PutFile("C:\\Data\\Keep.txt", "x");
  const std::string data = m.folder() + "/drives/C/Data";
  auto host_of = [&](const std::string& path) {
    std::string host;
    EXPECT_TRUE(m.machine().ToHostPath(path, &host)) << path;
    return host;
  };
  auto other_process = [](const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  };
  EXPECT_EQ(host_of("C:\\Data\\new.txt"), data + "/new.txt");  // indexes the folder
  other_process("touch '" + data + "/NEW.TXT'");
  EXPECT_EQ(host_of("C:\\Data\\new.txt"), data + "/NEW.TXT");
  other_process("mv '" + data + "/NEW.TXT' '" + data + "/New.Txt'");
  EXPECT_EQ(host_of("C:\\Data\\NEW.txt"), data + "/New.Txt");
  other_process("rm '" + data + "/New.Txt'");
  EXPECT_EQ(host_of("C:\\Data\\NEW.txt"), data + "/NEW.txt");
  // The folder itself replaced by one of another spelling, then by one of the same.
  other_process("rm -r '" + data + "' && mkdir '" + data + "' && touch '" + data + "/ONE'");
  EXPECT_EQ(host_of("C:\\Data\\one"), data + "/ONE");
  EXPECT_EQ(host_of("C:\\Data\\keep.txt"), data + "/keep.txt");
  other_process("mv '" + data + "' '" + data + "-old' && mkdir '" + data + "' && touch '" + data +
                "/KEEP.TXT'");
  EXPECT_EQ(host_of("C:\\Data\\keep.txt"), data + "/KEEP.TXT");
  EXPECT_EQ(host_of("C:\\Data\\one"), data + "/one");
  // Names this process makes count too, in many folders at once (more than the index keeps).
  for (int i = 0; i < 100; ++i) {
    std::filesystem::create_directories(data + "/F" + std::to_string(i));
    EXPECT_EQ(host_of("C:\\Data\\f" + std::to_string(i) + "\\x"),
              data + "/F" + std::to_string(i) + "/x");
    std::ofstream(data + "/F" + std::to_string(i) + "/X");
  }
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(host_of("C:\\Data\\f" + std::to_string(i) + "\\x"),
              data + "/F" + std::to_string(i) + "/X");
  }
}

TEST(SimMachineTest, RefusesPathsThatNameNoDriveOfTheMachine) {
  SimTestMachine m;
  std::string host;
  for (const char* path : {"Q:\\a.txt", "relative\\a.txt", "\\a.txt", "C:a.txt",
                           "\\\\server\\share\\a.txt", "\\\\?\\C:\\a.txt", "C:\\a<b", ""}) {
    EXPECT_FALSE(m.machine().ToHostPath(path, &host)) << path;
  }
  EXPECT_FALSE(m.machine().ToHostPath("C:\\" + std::string(300, 'a'), &host));
}

TEST(SimMachineTest, ReadsTheDescriptionAgainWhenItChanges) {
  SimTestMachine m;
  EXPECT_EQ(m.machine().ComputerName(), "WORKSTATION");
  EXPECT_EQ(m.machine().CurrentUser().name, "jo");
  EXPECT_TRUE(m.machine().CurrentUser().admin);
  EXPECT_EQ(m.machine().Version().major, 6u);
  EXPECT_EQ(m.machine().TimeZoneOffsetMinutes(), 60);
  m.machine().store().Update("machine.json", [](Json& doc) {
    doc["computer_name"] = "OFFICE-PC";
    doc["current_user"]["admin"] = false;
    return true;
  });
  EXPECT_EQ(m.machine().ComputerName(), "OFFICE-PC");
  EXPECT_FALSE(m.machine().CurrentUser().admin);
}

TEST(SimMachineTest, PatchChangesTheDefaultDescription) {
  SimTestMachine m(Json{{"drives", {{"D", nullptr}, {"F", {{"type", "removable"}}}}}});
  EXPECT_TRUE(m.machine().DriveDescription('D').is_null());
  EXPECT_EQ(m.machine().DriveDescription('f').value("type", ""), "removable");
  EXPECT_EQ(m.machine().DriveDescription('C').value("fs", ""), "NTFS");
}

TEST(SimMachineTest, RefusesAFolderThatIsNoMachine) {
  SimTestMachine m;
  EXPECT_FALSE(SimMachine::IsMachineFolder(m.folder() + "/drives"));
  EXPECT_THROW(SimMachine(m.folder() + "/drives"), std::runtime_error);
  std::filesystem::path description(m.folder() + "/machine.json");
  { std::ofstream(description) << "{ broken"; }
  EXPECT_THROW(SimMachine(m.folder()), std::runtime_error);
}

TEST(SimMachineTest, TwoPlatformsOverOneMachineSeeEachOthersOpenFiles) {
  SimTestMachine m;
  m.PutFile("C:\\a.txt", "a");
  std::unique_ptr<SimPlatform> second = OpenSimMachine(m.folder() + "/");
  std::unique_ptr<platform::File> held;
  ASSERT_EQ(m.platform().files().Open("C:\\a.txt", platform::kGenericRead, platform::kShareNone,
                                      platform::Disposition::kOpenExisting, 0, &held),
            platform::kSuccess);
  std::unique_ptr<platform::File> other;
  EXPECT_EQ(second->files().Open("C:\\A.TXT", platform::kGenericRead, platform::kShareRead,
                                 platform::Disposition::kOpenExisting, 0, &other),
            platform::kErrorSharingViolation);
}

TEST(SimMachineTest, ProgramsWithoutAMachineStopWithExitCodeTwo) {
  SimTestMachine m;
  std::string probe = testing::ProbeProgram() + " mutex X >/dev/null 2>&1";
  int unset = std::system(("env -u QDW_MACHINE " + probe).c_str());
  int no_machine = std::system(("QDW_MACHINE=" + m.folder() + "/drives " + probe).c_str());
  int machine = std::system(("QDW_MACHINE=" + m.folder() + " " + probe).c_str());
  ASSERT_TRUE(WIFEXITED(unset) && WIFEXITED(no_machine) && WIFEXITED(machine));
  EXPECT_EQ(WEXITSTATUS(unset), 2);
  EXPECT_EQ(WEXITSTATUS(no_machine), 2);
  EXPECT_EQ(WEXITSTATUS(machine), 0);
}

}  // namespace
}  // namespace qdw::sim
