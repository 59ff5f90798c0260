#include "system/service_control.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/sim_test_machine.h"

namespace qdw::system {
namespace {

class ServiceControlTest : public ::testing::Test {
 protected:
  void Install(const sim::Json& services) {
    machine_.machine().store().Write("services.json", services);
  }
  std::string StateOf(const std::string& name) {
    return machine_.machine().store().Read("services.json")[name].value("state", "");
  }
  // Short limits: a wait that does not end fails the test quickly instead of hanging it.
  ServiceControl Control(uint32_t limit_ms = 2000) {
    WaitLimits limits;
    limits.service_state_ms = limit_ms;
    return ServiceControl(machine_.platform(), limits);
  }
  const sim::FaultInjector& faults() { return machine_.machine().faults(); }

  testing::SimTestMachine machine_;
};

TEST_F(ServiceControlTest, MissingServiceCountsAsNotRunning) {
  Install({{"CiSvc", {{"state", "running"}}}});
  bool running = true;
  EXPECT_TRUE(Control().QueryServiceRunning("VNQLNSharedFolder", &running));
  EXPECT_FALSE(running);
  EXPECT_TRUE(Control().QueryServiceRunning("cisvc", &running));
  EXPECT_TRUE(running);
}

TEST_F(ServiceControlTest, PendingServiceIsNotRunning) {
  Install({{"CiSvc", {{"state", "start_pending"}, {"stuck", true}}}});
  bool running = true;
  EXPECT_TRUE(Control().QueryServiceRunning("CiSvc", &running));
  EXPECT_FALSE(running);
}

TEST_F(ServiceControlTest, StopAndStartWaitForTheAwaitedState) {
  Install({{"VNQLNSharedFolder",
            {{"state", "running"},
             {"stop_pending_polls", 3},
             {"start_pending_polls", 2},
             {"wait_hint_ms", 5}}}});
  ServiceControl control = Control();
  ASSERT_TRUE(control.StopServiceAndWait("VNQLNSharedFolder"));
  EXPECT_EQ(StateOf("VNQLNSharedFolder"), "stopped");
  ASSERT_TRUE(control.StartServiceAndWait("VNQLNSharedFolder"));
  EXPECT_EQ(StateOf("VNQLNSharedFolder"), "running");
}

// The command-line start runs NET START for the shared-folder service before the run sequence
// starts it again: finding it running must not be reported as a failed restart.
TEST_F(ServiceControlTest, StartingARunningServiceSucceeds) {
  Install({{"VNQLNSharedFolder", {{"state", "running"}}}});
  EXPECT_TRUE(Control().StartServiceAndWait("VNQLNSharedFolder"));
  EXPECT_EQ(StateOf("VNQLNSharedFolder"), "running");
}

TEST_F(ServiceControlTest, ServicesThatCannotBeControlledFail) {
  Install({{"CiSvc", {{"state", "stopped"}}},
           {"Locked", {{"state", "running"}, {"who_may_control", {"nobody"}}}}});
  ServiceControl control = Control();
  EXPECT_FALSE(control.StopServiceAndWait("CiSvc")) << "not active";
  EXPECT_FALSE(control.StopServiceAndWait("Missing"));
  EXPECT_FALSE(control.StartServiceAndWait("Missing"));
  bool running = true;
  EXPECT_FALSE(control.QueryServiceRunning("Locked", &running)) << "access denied";
  EXPECT_FALSE(running);
  EXPECT_FALSE(control.StopServiceAndWait("Locked"));
}

TEST_F(ServiceControlTest, StuckServiceEndsTheWaitAtTheLimit) {
  Install({{"CiSvc", {{"state", "running"}, {"stuck", true}, {"stop_pending_polls", 1}}},
           {"Slow",
            {{"state", "stopped"},
             {"stuck", true},
             {"start_pending_polls", 1},
             {"wait_hint_ms", 30}}}});
  EXPECT_FALSE(Control(200).StopServiceAndWait("CiSvc"));
  EXPECT_EQ(StateOf("CiSvc"), "stop_pending");
  EXPECT_FALSE(Control(200).StartServiceAndWait("Slow"));
}

TEST_F(ServiceControlTest, ServiceThatFallsBackToStoppedEndsTheStart) {
  Install({{"VNQLNSharedFolder",
            {{"state", "stopped"}, {"fails_to_start", true}, {"start_pending_polls", 2}}}});
  // A limit far beyond the test's run time: only the fall back may end this wait.
  EXPECT_FALSE(Control(600000).StartServiceAndWait("VNQLNSharedFolder"));
}

TEST_F(ServiceControlTest, RightsFlagIsClearedOnlyWhenAccessIsDenied) {
  bool rights = true;
  EXPECT_TRUE(Control().CheckServiceRights(&rights));
  EXPECT_TRUE(rights);
  faults().AddRule("Services.Connect", 1, platform::kErrorInvalidHandle);
  EXPECT_TRUE(Control().CheckServiceRights(&rights));
  EXPECT_TRUE(rights) << "another error leaves the flag";
  faults().Clear();

  testing::SimTestMachine restricted(
      sim::Json{{"current_user", {{"admin", false}, {"may_control_services", false}}}});
  EXPECT_TRUE(ServiceControl(restricted.platform()).CheckServiceRights(&rights));
  EXPECT_FALSE(rights);
  rights = false;
  EXPECT_TRUE(Control().CheckServiceRights(&rights));
  EXPECT_FALSE(rights) << "a cleared flag is never set again";
}

TEST_F(ServiceControlTest, InjectedFaultsReachEachFailure) {
  Install({{"CiSvc", {{"state", "running"}, {"stop_pending_polls", 2}}}});
  bool running = true;
  faults().AddRule("Services.Connect", 1, platform::kErrorAccessDenied);
  EXPECT_FALSE(Control().QueryServiceRunning("CiSvc", &running));
  faults().Clear();
  faults().AddRule("Services.QueryStatus", 1, platform::kErrorInvalidHandle);
  EXPECT_FALSE(Control().QueryServiceRunning("CiSvc", &running));
  faults().Clear();
  faults().AddRule("Services.OpenServiceByName", 1, platform::kErrorInvalidHandle);
  EXPECT_FALSE(Control().QueryServiceRunning("CiSvc", &running));
  faults().Clear();
  faults().AddRule("Services.Stop", 1, platform::kErrorServiceCannotAcceptCtrl);
  EXPECT_FALSE(Control().StopServiceAndWait("CiSvc"));
  EXPECT_EQ(StateOf("CiSvc"), "running");
  faults().Clear();
  faults().AddRule("Services.QueryStatus", 2, platform::kErrorInvalidHandle);
  EXPECT_FALSE(Control().StopServiceAndWait("CiSvc")) << "a failed query during the wait";
  faults().Clear();
  faults().AddRule("Services.Start", 1, platform::kErrorServiceDisabled);
  EXPECT_FALSE(Control().StartServiceAndWait("CiSvc"));
}

}  // namespace
}  // namespace qdw::system
