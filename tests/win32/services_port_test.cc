// The Service Control Manager through the port, on one of the system's own services.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"

namespace qdw::platform {
namespace {

constexpr uint32_t kControl = kServiceQueryStatus | kServiceStart | kServiceStop;
// A service every Windows and every Wine prefix has, which may be stopped and started again.
constexpr char kSpooler[] = "Spooler";

// Polls until the service reaches `state` or leaves the pending states for another one.
uint32_t SettledState(Service& service, uint32_t state) {
  ServiceStatus status;
  for (int i = 0; i < 100; ++i) {
    if (service.QueryStatus(&status) != kSuccess) return 0;
    if (status.current_state == state) break;
    DefaultPlatform().system().Sleep(100);
  }
  return status.current_state;
}

// Starts the service; while the manager still starts its automatic services it reports its
// database locked (1055), which passes within seconds.
WinError StartWhenUnlocked(Service& service) {
  constexpr WinError kErrorServiceDatabaseLocked = 1055;
  WinError result = service.Start();
  for (int i = 0; i < 100 && result == kErrorServiceDatabaseLocked; ++i) {
    DefaultPlatform().system().Sleep(100);
    result = service.Start();
  }
  return result;
}

class ServicesPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DefaultPlatform().services().Connect(kScManagerConnect | kGenericExecute, &scm_),
              kSuccess);
  }
  std::unique_ptr<ServiceDatabase> scm_;
};

TEST_F(ServicesPortTest, MissingServicesAreReportedAndNamesIgnoreCase) {
  std::unique_ptr<Service> service;
  EXPECT_EQ(scm_->OpenServiceByName("NoSuchQdwService", kControl, &service),
            kErrorServiceDoesNotExist);
  ASSERT_EQ(scm_->OpenServiceByName("spooler", kServiceQueryStatus, &service), kSuccess);
  ServiceStatus status;
  EXPECT_EQ(service->QueryStatus(&status), kSuccess);
}

TEST_F(ServicesPortTest, StopsAndStartsAServiceWithTheWindowsCodes) {
  std::unique_ptr<Service> service;
  ASSERT_EQ(scm_->OpenServiceByName(kSpooler, kControl, &service), kSuccess);
  ServiceStatus status;
  ASSERT_EQ(service->QueryStatus(&status), kSuccess);
  if (status.current_state != kServiceRunning) {
    ASSERT_EQ(StartWhenUnlocked(*service), kSuccess);
    ASSERT_EQ(SettledState(*service, kServiceRunning), kServiceRunning);
  }
  EXPECT_EQ(StartWhenUnlocked(*service), kErrorServiceAlreadyRunning);

  ASSERT_EQ(service->Stop(&status), kSuccess);
  ASSERT_EQ(SettledState(*service, kServiceStopped), kServiceStopped);
  EXPECT_EQ(service->Stop(&status), kErrorServiceNotActive);

  ASSERT_EQ(StartWhenUnlocked(*service), kSuccess);
  EXPECT_EQ(SettledState(*service, kServiceRunning), kServiceRunning);
}

TEST_F(ServicesPortTest, AHandleOpenedForQueriesMayNotStopTheService) {
  std::unique_ptr<Service> service;
  ASSERT_EQ(scm_->OpenServiceByName(kSpooler, kServiceQueryStatus, &service), kSuccess);
  ServiceStatus status;
  EXPECT_EQ(service->Stop(&status), kErrorAccessDenied);
}

}  // namespace
}  // namespace qdw::platform
