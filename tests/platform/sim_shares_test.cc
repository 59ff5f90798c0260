// The stand-in machine's shares: enumeration in batches of its size, a user without
// administrator rights, the workstation user of its description, and the share proxy
// stand-in acting on the same shares.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/shares.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

ShareInfo Share(const std::string& name, const std::string& path) {
  ShareInfo share;
  share.name = name;
  share.path = path;
  share.remark = "Quillon Deskora " + name;
  return share;
}

class SimSharesTest : public ::testing::Test {
 protected:
  SimSharesTest() {
    for (const char* folder : {"C:\\Data\\A", "C:\\Data\\B", "C:\\Data\\C", "C:\\Data\\D",
                               "C:\\Data\\E", "C:\\Data\\F", "C:\\Data\\G"}) {
      machine_.PutFile(std::string(folder) + "\\x.txt", "x");
    }
  }
  Shares& shares() { return machine_.platform().shares(); }
  SimTestMachine machine_;
};

TEST_F(SimSharesTest, EnumerationComesInBatchesUntilTheLast) {
  std::vector<std::string> names = {"A", "B", "C", "D", "E", "F", "G"};
  for (const std::string& name : names) {
    ASSERT_EQ(shares().Add(Share(name, "C:\\Data\\" + name)), kSuccess);
  }
  uint32_t resume = 0;
  std::vector<ShareInfo> all;
  std::vector<WinError> results;
  WinError result;
  do {
    result = shares().Enumerate(&resume, &all);
    results.push_back(result);
  } while (result == kErrorMoreData);
  EXPECT_EQ(results, (std::vector<WinError>{kErrorMoreData, kErrorMoreData, kSuccess}));
  ASSERT_EQ(all.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(all[i].name, names[i]);

  // No shares at all: one call, nothing, success.
  SimTestMachine empty;
  resume = 0;
  all.clear();
  EXPECT_EQ(empty.platform().shares().Enumerate(&resume, &all), kSuccess);
  EXPECT_TRUE(all.empty());
}

TEST_F(SimSharesTest, WorkstationUserIsTheLoggedOnUser) {
  std::string domain, user;
  ASSERT_EQ(shares().WorkstationUser(&domain, &user), kSuccess);
  EXPECT_EQ(domain, "WORKSTATION");
  EXPECT_EQ(user, "jo");
}

TEST(SharesAccessTest, OnlyAdministratorsShareFolders) {
  SimTestMachine machine(sim::Json{{"current_user", {{"admin", false}}}});
  machine.PutFile("C:\\Data\\A\\x.txt", "x");
  EXPECT_EQ(machine.platform().shares().Add(Share("A", "C:\\Data\\A")), kErrorAccessDenied);
}

TEST_F(SimSharesTest, TheShareProxyActsOnTheSameShares) {
  std::unique_ptr<ShareProxy> proxy;
  ASSERT_EQ(machine_.platform().share_proxy().Create(&proxy), kSOk);
  ASSERT_EQ(proxy->SetComputer("WORKSTATION"), kSOk);
  ASSERT_EQ(proxy->SetShareName("Docs"), kSOk);
  ASSERT_EQ(proxy->SetPath("C:\\Data\\A"), kSOk);
  ASSERT_EQ(proxy->SetRemark("remark"), kSOk);
  ASSERT_EQ(proxy->SetMaxUsers(3), kSOk);
  ASSERT_EQ(proxy->SetOption(12), kSOk);
  EXPECT_EQ(proxy->CheckShareName(1), kSFalse);
  EXPECT_EQ(proxy->CheckPath(), kSFalse);
  ASSERT_EQ(proxy->AddPermission("jo", true, false, false, true), kSOk);
  ASSERT_EQ(proxy->AddPermission("Everyone", false, true, false, false), kSOk);
  ASSERT_EQ(proxy->AddPermission("nobody-known", true, true, false, false), kSOk);
  ASSERT_EQ(proxy->CreateShare("WORKSTATION/jo", 0), kSOk);
  EXPECT_EQ(proxy->BeforeFinish(0), kSOk);
  EXPECT_EQ(proxy->Finish(), kSOk);
  EXPECT_EQ(proxy->CheckShareName(1), kSOk);
  ASSERT_EQ(proxy->SetPath("c:\\data\\a\\"), kSOk);
  EXPECT_EQ(proxy->CheckPath(), kSOk);
  EXPECT_TRUE(Failed(proxy->CreateShare("WORKSTATION/jo", 0)));  // the name is taken

  ShareInfo found;
  ASSERT_EQ(machine_.platform().shares().GetInfo("Docs", &found), kSuccess);
  EXPECT_EQ(found.remark, "remark");
  EXPECT_EQ(found.max_uses, 3);
  ASSERT_TRUE(found.security.has_value());
  ASSERT_EQ(found.security->dacl.entries.size(), 2u);  // the unknown account adds nothing
  EXPECT_EQ(found.security->dacl.entries[0].type, kAceAccessDenied);
  EXPECT_EQ(found.security->dacl.entries[0].sid, Sid::World());
  EXPECT_EQ(found.security->dacl.entries[1].mask, kMaskRead);

  ASSERT_EQ(proxy->DeleteShare("WORKSTATION/jo", 0), kSOk);
  EXPECT_EQ(proxy->CheckShareName(1), kSFalse);
  EXPECT_TRUE(Failed(proxy->DeleteShare("WORKSTATION/jo", 0)));
}

TEST(ShareProxyTest, AMachineWithoutTheServiceCannotCreateTheObject) {
  SimTestMachine machine(sim::Json{{"share_proxy_installed", false}});
  std::unique_ptr<ShareProxy> proxy;
  EXPECT_EQ(machine.platform().share_proxy().Create(&proxy), kEFail);
  EXPECT_EQ(proxy, nullptr);
}

TEST(ShareProxyTest, FaultsMakeACallFail) {
  SimTestMachine machine;
  machine.machine().faults().AddRule("ShareProxy.SetComputer", 1, kErrorAccessDenied);
  std::unique_ptr<ShareProxy> proxy;
  ASSERT_EQ(machine.platform().share_proxy().Create(&proxy), kSOk);
  EXPECT_EQ(proxy->SetComputer("WORKSTATION"), static_cast<HResult>(0x80070005));
  EXPECT_EQ(proxy->SetComputer("WORKSTATION"), kSOk);
}

}  // namespace
}  // namespace qdw::platform
