// The command interpreter with NET and Haltwerk, in-process and as the child processes the
// system starts.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/services.h"
#include "tests/platform/sim_test_machine.h"
#include "tools/standins/haltwerk.h"
#include "tools/standins/net_command.h"

namespace qdw::standins {
namespace {

using testing::SimTestMachine;

const char kCmd[] = "C:\\Windows\\system32\\cmd.exe";
const char kHaltwerk[] = "C:\\Program Files\\VARNOLD\\Haltwerk.exe";

sim::Json Machine() {
  return {{"programs", {{kCmd, QDW_CMD_PROGRAM}, {kHaltwerk, QDW_HALTWERK_PROGRAM}}}};
}

class StandinsTest : public ::testing::Test {
 protected:
  StandinsTest() : machine_(Machine()) {
    machine_.machine().store().Write(
        "services.json",
        {{"VNQLNSharedFolder", {{"state", "running"}, {"stop_pending_polls", 2}}},
         {"VNQLNWatchFolderService", {{"state", "running"}, {"start_pending_polls", 3}}},
         {"QDW Share Proxy Service", {{"state", "running"}}},
         {"Stubborn", {{"state", "running"}, {"stuck", true}}},
         {"CiSvc", {{"state", "running"}}}});
  }

  std::string State(const std::string& name) {
    return machine_.machine().store().Read("services.json")[name].value("state", "");
  }

  int Cmd(const std::vector<std::string>& arguments, std::string* output = nullptr) {
    std::ostringstream out;
    int code = RunCommandInterpreter(machine_.platform(), arguments, out);
    if (output) *output = out.str();
    return code;
  }

  SimTestMachine machine_;
};

TEST_F(StandinsTest, NetStopsAndStartsServicesAndReportsLikeNet) {
  std::string output;
  EXPECT_EQ(Cmd({"/C", "NET", "STOP", "QDW Share Proxy Service"}, &output), 0);
  EXPECT_EQ(State("QDW Share Proxy Service"), "stopped");
  EXPECT_NE(output.find("was stopped successfully"), std::string::npos) << output;
  EXPECT_EQ(Cmd({"/c", "net", "stop", "vnqlnsharedfolder"}), 0);  // through its pending polls
  EXPECT_EQ(State("VNQLNSharedFolder"), "stopped");
  EXPECT_EQ(Cmd({"/C", "NET", "STOP", "\"VNQLNSharedFolder\""}, &output), 2);
  EXPECT_NE(output.find("is not started"), std::string::npos) << output;

  EXPECT_EQ(Cmd({"/C", "NET", "START", "VNQLNSharedFolder"}), 0);
  EXPECT_EQ(State("VNQLNSharedFolder"), "running");
  EXPECT_EQ(Cmd({"/C", "NET", "START", "CiSvc"}), 2);  // already running
  EXPECT_EQ(Cmd({"/C", "NET", "STOP", "No Such Service"}, &output), 2);
  EXPECT_NE(output.find("service name is invalid"), std::string::npos);
}

TEST_F(StandinsTest, AServiceThatNeverStopsEndsNetWithAFailure) {
  std::ostringstream out;
  EXPECT_EQ(RunNet(machine_.platform(), {"STOP", "Stubborn"}, out, 20), 2);
  EXPECT_NE(out.str().find("could not be stopped"), std::string::npos) << out.str();
}

TEST_F(StandinsTest, EverythingElseFailsWithExitCodeOne) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{},
                                             {"/C"},
                                             {"/C", "DEL", "x"},
                                             {"/K", "NET", "STOP", "CiSvc"},
                                             {"/C", "NET", "PAUSE", "CiSvc"},
                                             {"/C", "NET"}}) {
    EXPECT_EQ(Cmd(arguments), 1);
  }
  EXPECT_EQ(State("CiSvc"), "running");
}

TEST(NetRightsTest, AUserWithoutRightsGetsSystemError5) {
  SimTestMachine machine(sim::Json{{"current_user", {{"may_control_services", false}}}});
  machine.machine().store().Write("services.json", {{"CiSvc", {{"state", "running"}}}});
  std::ostringstream out;
  EXPECT_EQ(RunCommandInterpreter(machine.platform(), {"/C", "NET", "STOP", "CiSvc"}, out), 2);
  EXPECT_NE(out.str().find("System error 5"), std::string::npos);
}

TEST_F(StandinsTest, HaltwerkDeleteStopsTheProductServicesAndEveryRunIsRecorded) {
  EXPECT_EQ(RunHaltwerk(machine_.machine(), {"/delete"}), 0);
  EXPECT_EQ(State("VNQLNSharedFolder"), "stopped");
  EXPECT_EQ(State("VNQLNWatchFolderService"), "stopped");
  EXPECT_EQ(State("QDW Share Proxy Service"), "stopped");
  EXPECT_EQ(State("CiSvc"), "running");
  EXPECT_EQ(RunHaltwerk(machine_.machine(), {}), 0);
  sim::Json runs = machine_.machine().store().Read("haltwerk.json")["runs"];
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0]["arguments"], "/delete");
  EXPECT_EQ(runs[0]["stopped"].size(), 3u);
  EXPECT_EQ(runs[1]["arguments"], "");
}

TEST_F(StandinsTest, TheProgramsRunAsChildProcessesOfTheMachine) {
  std::unique_ptr<platform::ProcessHandle> process;
  ASSERT_EQ(machine_.platform().processes().Start(kCmd, "/C NET STOP \"VNQLNWatchFolderService\"",
                                                  true, &process),
            platform::kSuccess);
  ASSERT_EQ(process->Wait(30000), platform::kWaitObject0);
  uint32_t code = 99;
  ASSERT_EQ(process->ExitCode(&code), platform::kSuccess);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(State("VNQLNWatchFolderService"), "stopped");

  ASSERT_EQ(machine_.platform().shell().Execute("open", kHaltwerk, "/delete",
                                                platform::kShowMaximized, &process),
            platform::kSuccess);
  ASSERT_NE(process, nullptr);
  ASSERT_EQ(process->Wait(30000), platform::kWaitObject0);
  EXPECT_EQ(State("VNQLNSharedFolder"), "stopped");
}

TEST_F(StandinsTest, AHangingProgramKeepsItsCallerWaitingUntilReleased) {
  sim::Json description = *machine_.machine().Description();
  description["standins"]["qdw_cmd"]["hang"] = true;
  machine_.machine().store().Write("machine.json", description);
  std::unique_ptr<platform::ProcessHandle> process;
  ASSERT_EQ(machine_.platform().processes().Start(kCmd, "/C NET STOP CiSvc", true, &process),
            platform::kSuccess);
  EXPECT_EQ(process->Wait(300), platform::kWaitTimeout);
  EXPECT_EQ(State("CiSvc"), "running");
  description["standins"]["qdw_cmd"]["hang"] = false;
  machine_.machine().store().Write("machine.json", description);
  ASSERT_EQ(process->Wait(30000), platform::kWaitObject0);
  EXPECT_EQ(State("CiSvc"), "stopped");
}

}  // namespace
}  // namespace qdw::standins
