// The service manager as Windows behaves: 1060 for a missing service, names ignoring case,
// stop and start with their codes, and handles limited to the rights asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/services.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

constexpr uint32_t kControl = kServiceQueryStatus | kServiceStart | kServiceStop;
constexpr WinError kErrorServiceDatabaseLocked = 1055;

class ServicesContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(port_->platform().services().Connect(kGenericExecute, &database_), kSuccess);
  }

  // Polls until the service reaches `state` or gives up on the way.
  uint32_t SettledState(Service& service, uint32_t state) {
    ServiceStatus status;
    for (int i = 0; i < 100; ++i) {
      if (service.QueryStatus(&status) != kSuccess) return 0;
      if (status.current_state == state) break;
      port_->platform().system().Sleep(100);
    }
    return status.current_state;
  }

  // A manager still starting its automatic services reports its database locked for a while.
  WinError StartWhenUnlocked(Service& service) {
    WinError result = service.Start();
    for (int i = 0; i < 100 && result == kErrorServiceDatabaseLocked; ++i) {
      port_->platform().system().Sleep(100);
      result = service.Start();
    }
    return result;
  }

  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
  const std::string service_name_ = port_->StoppableService();
  std::unique_ptr<ServiceDatabase> database_;
};

TEST_F(ServicesContractTest, AMissingServiceIs1060AndNamesIgnoreCase) {
  std::unique_ptr<Service> service;
  EXPECT_EQ(database_->OpenServiceByName("NoSuchQdwService", kControl, &service),
            kErrorServiceDoesNotExist);
  EXPECT_EQ(service, nullptr);
  std::string lower = service_name_;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  ASSERT_EQ(database_->OpenServiceByName(lower, kServiceQueryStatus, &service), kSuccess);
  ServiceStatus status;
  EXPECT_EQ(service->QueryStatus(&status), kSuccess);
}

TEST_F(ServicesContractTest, StopAndStartReachTheirStatesWithTheWindowsCodes) {
  std::unique_ptr<Service> service;
  ASSERT_EQ(database_->OpenServiceByName(service_name_, kControl, &service), kSuccess);
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

TEST_F(ServicesContractTest, HandlesAllowOnlyTheRightsAskedFor) {
  std::unique_ptr<Service> service;
  ASSERT_EQ(database_->OpenServiceByName(service_name_, kServiceQueryStatus, &service), kSuccess);
  ServiceStatus status;
  EXPECT_EQ(service->Stop(&status), kErrorAccessDenied);
  EXPECT_EQ(service->Start(), kErrorAccessDenied);
  EXPECT_EQ(service->QueryStatus(&status), kSuccess);
}

}  // namespace
}  // namespace qdw::platform
