// The command-line service steps and Haltwerk, run as real child processes (the stand-in
// command interpreter and Haltwerk) on a stand-in machine.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/registry.h"
#include "system/command_line_services.h"
#include "system/haltwerk.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::system {
namespace {

constexpr char kHaltwerkPath[] = "C:\\VARNOLD\\Server\\Haltwerk.exe";

class CountingCursor : public WaitCursor {
 public:
  void Show() override {
    ++shown;
    ++depth;
  }
  void Hide() override { --depth; }
  int shown = 0;
  int depth = 0;
};

class OutsideProgramsTest : public ::testing::Test {
 protected:
  OutsideProgramsTest()
      : machine_(sim::Json{{"programs",
                            {{"C:\\Windows\\system32\\cmd.exe", QDW_CMD_PROGRAM},
                             {kHaltwerkPath, QDW_HALTWERK_PROGRAM}}}}) {
    machine_.machine().store().Write("services.json",
                                     {{"VNQLNSharedFolder", {{"state", "running"}}},
                                      {"VNQLNWatchFolderService", {{"state", "running"}}},
                                      {"QDW Share Proxy Service", {{"state", "running"}}}});
  }
  // Lets the stand-ins that were asked to hang end.
  ~OutsideProgramsTest() override {
    SetHang("qdw_cmd", false);
    SetHang("qdw_haltwerk", false);
  }

  void SetMachineText(const std::string& key, const std::string& value, const std::string& text) {
    std::unique_ptr<platform::RegistryKey> handle;
    ASSERT_EQ(machine_.platform().registry().CreateKey(platform::Hive::kLocalMachine, key,
                                                       platform::kKeyWrite, &handle, nullptr),
              platform::kSuccess);
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    ASSERT_EQ(handle->SetValue(value, platform::kRegSz, data), platform::kSuccess);
  }
  void SetProductType(const std::string& type) {
    SetMachineText("SOFTWARE\\VARNOLD\\Quillon Deskora", "Product_Type", type);
  }
  void SetMachineRepository(const std::string& path) {
    SetMachineText("SOFTWARE\\VARNOLD\\Quillon Deskora\\QDW\\User Settings\\Common",
                   "Repository Path", path);
  }
  void SetHang(const std::string& program, bool hang) {
    sim::Json description = *machine_.machine().Description();
    description["standins"][program]["hang"] = hang;
    machine_.machine().store().Write("machine.json", description);
  }
  std::string StateOf(const std::string& name) {
    return machine_.machine().store().Read("services.json")[name].value("state", "");
  }
  // What the program wrote to the debugger output.
  std::string DebugLog() {
    std::ifstream in(machine_.machine().store().HostPath("debug.log"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  sim::Json HaltwerkRuns() {
    return machine_.machine().store().Read("haltwerk.json").value("runs", sim::Json::array());
  }
  // Short limits: a wait that does not end fails the test quickly instead of hanging it.
  static WaitLimits ShortLimits() {
    WaitLimits limits;
    limits.net_command_ms = 300;
    limits.haltwerk_ms = 300;
    limits.service_state_ms = 300;
    return limits;
  }

  testing::SimTestMachine machine_;
  CountingCursor cursor_;
};

TEST_F(OutsideProgramsTest, NothingIsRunUnlessTheProductTypeIsTwo) {
  for (const char* type : {"", "1", "2 ", "22"}) {
    if (*type) SetProductType(type);
    CommandLineServices services(machine_.platform(), &cursor_);
    EXPECT_TRUE(services.StopProductServices());
    EXPECT_TRUE(services.StartProductServices());
    EXPECT_EQ(StateOf("VNQLNWatchFolderService"), "running") << type;
  }
  EXPECT_EQ(cursor_.shown, 0);
  const std::string log = DebugLog();
  EXPECT_NE(log.find("STOP SERVICE\n"), std::string::npos);
  EXPECT_NE(log.find("START SERVICE\n"), std::string::npos);
}

TEST_F(OutsideProgramsTest, NetStopsAndStartsTheProductServices) {
  SetProductType("2");
  CommandLineServices services(machine_.platform(), &cursor_);
  EXPECT_TRUE(services.StopProductServices());
  EXPECT_EQ(StateOf("VNQLNWatchFolderService"), "stopped");
  EXPECT_EQ(StateOf("QDW Share Proxy Service"), "stopped");
  EXPECT_EQ(StateOf("VNQLNSharedFolder"), "running") << "not on the stop list";
  EXPECT_EQ(cursor_.shown, 1);
  EXPECT_EQ(cursor_.depth, 0);

  machine_.machine().store().Update("services.json", [](sim::Json& services) {
    services["VNQLNSharedFolder"]["state"] = "stopped";
    return true;
  });
  EXPECT_TRUE(services.StartProductServices());
  for (const char* name :
       {"VNQLNWatchFolderService", "QDW Share Proxy Service", "VNQLNSharedFolder"}) {
    EXPECT_EQ(StateOf(name), "running") << name;
  }
}

TEST_F(OutsideProgramsTest, HangingNetIsLeftBehindAtTheLimit) {
  SetProductType("2");
  SetHang("qdw_cmd", true);
  CommandLineServices services(machine_.platform(), &cursor_, ShortLimits());
  EXPECT_TRUE(services.StopProductServices());
  EXPECT_EQ(cursor_.depth, 0);
  EXPECT_EQ(StateOf("VNQLNWatchFolderService"), "running");
}

TEST_F(OutsideProgramsTest, CommandInterpreterThatCannotStartIsSkipped) {
  SetProductType("2");
  machine_.machine().faults().AddRule("Processes.Start", 1, platform::kErrorFileNotFound, "", 0);
  EXPECT_TRUE(CommandLineServices(machine_.platform(), &cursor_).StopProductServices());
  EXPECT_EQ(StateOf("VNQLNWatchFolderService"), "running");
}

TEST_F(OutsideProgramsTest, HaltwerkLiesBesideTheMachineRepository) {
  Haltwerk haltwerk(machine_.platform(), nullptr);
  EXPECT_EQ(haltwerk.ProgramPath(), "Haltwerk.exe");
  SetMachineRepository("C:\\VARNOLD\\Server\\Common");
  EXPECT_EQ(haltwerk.ProgramPath(), kHaltwerkPath);
  SetMachineRepository("Short");
  EXPECT_EQ(haltwerk.ProgramPath(), "Haltwerk.exe");
}

TEST_F(OutsideProgramsTest, StopWithoutRightsRunsHaltwerkTwiceThenNet) {
  SetMachineRepository("C:\\VARNOLD\\Server\\Common");
  SetProductType("2");
  CommandLineServices command_line(machine_.platform(), &cursor_);
  StopServicesWithoutRights(machine_.platform(), command_line, &cursor_);
  EXPECT_EQ(cursor_.depth, 0);
  EXPECT_EQ(StateOf("VNQLNSharedFolder"), "stopped") << "Haltwerk /delete was waited for";
  ASSERT_GE(HaltwerkRuns().size(), 1u);
  EXPECT_EQ(HaltwerkRuns()[0]["arguments"], "/delete");
  // The second run is not waited for; give it the time it needs to record itself.
  for (int i = 0; i < 1000 && HaltwerkRuns().size() < 2; ++i)
    machine_.platform().system().Sleep(10);
  ASSERT_EQ(HaltwerkRuns().size(), 2u);
  EXPECT_EQ(HaltwerkRuns()[1]["arguments"], "");
}

TEST_F(OutsideProgramsTest, HangingHaltwerkIsLeftBehindAndNetStillRuns) {
  SetMachineRepository("C:\\VARNOLD\\Server\\Common");
  SetProductType("2");
  SetHang("qdw_haltwerk", true);
  WaitLimits limits;
  limits.haltwerk_ms = 300;
  CommandLineServices command_line(machine_.platform(), &cursor_);
  StopServicesWithoutRights(machine_.platform(), command_line, &cursor_, limits);
  EXPECT_EQ(StateOf("VNQLNWatchFolderService"), "stopped");
  EXPECT_EQ(StateOf("VNQLNSharedFolder"), "running");
}

TEST_F(OutsideProgramsTest, MissingHaltwerkStillRunsTheCommandLineStop) {
  SetProductType("2");
  CommandLineServices command_line(machine_.platform(), &cursor_);
  StopServicesWithoutRights(machine_.platform(), command_line, nullptr);
  EXPECT_TRUE(HaltwerkRuns().empty());
  EXPECT_EQ(StateOf("QDW Share Proxy Service"), "stopped");
}

}  // namespace
}  // namespace qdw::system
