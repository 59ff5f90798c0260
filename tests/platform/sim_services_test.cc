// The stand-in machine's services: the pending states poll by poll, services that never get
// there, disabled ones, users without rights, and faults.
#include <gtest/gtest.h>

#include <memory>

#include "platform/services.h"
#include "platform/sim/machine_store.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

constexpr uint32_t kControl = kServiceQueryStatus | kServiceStart | kServiceStop;

class SimServicesTest : public ::testing::Test {
 protected:
  explicit SimServicesTest(const sim::Json& patch = sim::Json::object()) : machine_(patch) {
    machine_.machine().store().Write(
        "services.json",
        {{"VNQLNSharedFolder",
          {{"state", "running"},
           {"stop_pending_polls", 2},
           {"start_pending_polls", 1},
           {"wait_hint_ms", 0}}},
         {"CiSvc", {{"state", "stopped"}}},
         {"Stubborn", {{"state", "running"}, {"stuck", true}, {"wait_hint_ms", 500}}},
         {"Broken", {{"state", "stopped"}, {"fails_to_start", true}, {"start_pending_polls", 1}}},
         {"Off", {{"state", "stopped"}, {"start_type", "disabled"}}},
         {"AdminsOnly", {{"state", "running"}, {"who_may_control", {"Administrators"}}}}});
  }

  std::unique_ptr<Service> OpenServiceByName(const std::string& name, uint32_t access = kControl) {
    std::unique_ptr<ServiceDatabase> database;
    EXPECT_EQ(machine_.platform().services().Connect(kGenericExecute, &database), kSuccess);
    std::unique_ptr<Service> service;
    if (database) {
      EXPECT_EQ(database->OpenServiceByName(name, access, &service), kSuccess) << name;
    }
    return service;
  }

  uint32_t State(Service& service) {
    ServiceStatus status;
    EXPECT_EQ(service.QueryStatus(&status), kSuccess);
    return status.current_state;
  }

  SimTestMachine machine_;
};

TEST_F(SimServicesTest, AMissingServiceIs1060AndNamesIgnoreCase) {
  std::unique_ptr<ServiceDatabase> database;
  ASSERT_EQ(machine_.platform().services().Connect(kGenericExecute, &database), kSuccess);
  std::unique_ptr<Service> service;
  EXPECT_EQ(database->OpenServiceByName("NoSuchService", kControl, &service),
            kErrorServiceDoesNotExist);
  EXPECT_EQ(service, nullptr);
  ASSERT_EQ(database->OpenServiceByName("cisvc", kControl, &service), kSuccess);
  EXPECT_EQ(State(*service), kServiceStopped);
}

TEST_F(SimServicesTest, StopAndStartPassThroughThePendingStates) {
  auto service = OpenServiceByName("VNQLNSharedFolder");
  ServiceStatus status;
  ASSERT_EQ(service->Stop(&status), kSuccess);
  EXPECT_EQ(status.current_state, kServiceStopPending);
  EXPECT_EQ(State(*service), kServiceStopPending);
  EXPECT_EQ(State(*service), kServiceStopPending);
  EXPECT_EQ(State(*service), kServiceStopped);
  EXPECT_EQ(service->Stop(&status), kErrorServiceNotActive);

  ASSERT_EQ(service->Start(), kSuccess);
  EXPECT_EQ(service->Start(), kErrorServiceAlreadyRunning);
  EXPECT_EQ(State(*service), kServiceStartPending);
  EXPECT_EQ(State(*service), kServiceRunning);
  // Another process of the machine sees the same state.
  auto other = sim::OpenSimMachine(machine_.folder());
  std::unique_ptr<ServiceDatabase> database;
  ASSERT_EQ(other->services().Connect(kGenericExecute, &database), kSuccess);
  std::unique_ptr<Service> seen;
  ASSERT_EQ(database->OpenServiceByName("VNQLNSharedFolder", kControl, &seen), kSuccess);
  EXPECT_EQ(State(*seen), kServiceRunning);
}

TEST_F(SimServicesTest, ServicesThatNeverGetThereKeepCallersWaitingOrFallBack) {
  auto stubborn = OpenServiceByName("Stubborn");
  ServiceStatus status;
  ASSERT_EQ(stubborn->Stop(&status), kSuccess);
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(stubborn->QueryStatus(&status), kSuccess);
    EXPECT_EQ(status.current_state, kServiceStopPending);
    EXPECT_EQ(status.wait_hint_ms, 500u);
  }
  EXPECT_EQ(stubborn->Stop(&status), kErrorServiceCannotAcceptCtrl);

  auto broken = OpenServiceByName("Broken");
  ASSERT_EQ(broken->Start(), kSuccess);
  EXPECT_EQ(State(*broken), kServiceStartPending);
  EXPECT_EQ(State(*broken), kServiceStopped);

  EXPECT_EQ(OpenServiceByName("Off")->Start(), kErrorServiceDisabled);
}

TEST_F(SimServicesTest, HandlesAllowOnlyTheRightsAskedFor) {
  auto service = OpenServiceByName("VNQLNSharedFolder", kServiceQueryStatus);
  ServiceStatus status;
  EXPECT_EQ(service->Stop(&status), kErrorAccessDenied);
  EXPECT_EQ(service->Start(), kErrorAccessDenied);
  EXPECT_EQ(State(*service), kServiceRunning);
}

TEST_F(SimServicesTest, FaultsFailTheNamedCall) {
  machine_.machine().faults().AddRule("Services.Stop", 1, kErrorServiceRequestTimeout, "VNQL*");
  auto service = OpenServiceByName("VNQLNSharedFolder");
  ServiceStatus status;
  EXPECT_EQ(service->Stop(&status), kErrorServiceRequestTimeout);
  EXPECT_EQ(State(*service), kServiceRunning);
}

class ServicesWithoutRightsTest : public SimServicesTest {
 protected:
  ServicesWithoutRightsTest()
      : SimServicesTest({{"current_user", {{"admin", false}, {"may_control_services", false}}}}) {}
};

TEST_F(ServicesWithoutRightsTest, AUserWithoutRightsCannotOpenTheManagerToControl) {
  std::unique_ptr<ServiceDatabase> database;
  EXPECT_EQ(machine_.platform().services().Connect(kGenericExecute, &database), kErrorAccessDenied);
  EXPECT_EQ(database, nullptr);
  // Connecting only to look is allowed; controlling a service still is not.
  ASSERT_EQ(machine_.platform().services().Connect(kScManagerConnect, &database), kSuccess);
  std::unique_ptr<Service> service;
  EXPECT_EQ(database->OpenServiceByName("CiSvc", kControl, &service), kErrorAccessDenied);
  ASSERT_EQ(database->OpenServiceByName("CiSvc", kServiceQueryStatus, &service), kSuccess);
  EXPECT_EQ(State(*service), kServiceStopped);
}

class ServicesForAUserTest : public SimServicesTest {
 protected:
  ServicesForAUserTest() : SimServicesTest({{"current_user", {{"admin", false}}}}) {}
};

TEST_F(ServicesForAUserTest, APerServiceListLimitsWhoMayControlIt) {
  std::unique_ptr<ServiceDatabase> database;
  ASSERT_EQ(machine_.platform().services().Connect(kGenericExecute, &database), kSuccess);
  std::unique_ptr<Service> service;
  EXPECT_EQ(database->OpenServiceByName("AdminsOnly", kControl, &service), kErrorAccessDenied);
  EXPECT_EQ(database->OpenServiceByName("CiSvc", kControl, &service), kSuccess);
}

}  // namespace
}  // namespace qdw::platform
