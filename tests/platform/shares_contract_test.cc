// Network shares as Windows behaves: enumeration in batches with a resume handle, duplicate
// and missing names, shares of missing folders, descriptors kept with their SIDs; and the
// share proxy stand-in acting on the same shares.
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

class SharesContractTest : public ::testing::Test {
 protected:
  SharesContractTest() {
    for (const char* folder : {"C:\\Data\\A", "C:\\Data\\B", "C:\\Data\\C", "C:\\Data\\D",
                               "C:\\Data\\E", "C:\\Data\\F", "C:\\Data\\G"}) {
      machine_.PutFile(std::string(folder) + "\\x.txt", "x");
    }
  }
  Shares& shares() { return machine_.platform().shares(); }
  SimTestMachine machine_;
};

TEST_F(SharesContractTest, EnumerationComesInBatchesUntilTheLast) {
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

TEST_F(SharesContractTest, AddRefusesTakenNamesAndMissingFolders) {
  ASSERT_EQ(shares().Add(Share("Docs", "C:\\Data\\A")), kSuccess);
  EXPECT_EQ(shares().Add(Share("DOCS", "C:\\Data\\B")), kNerrDuplicateShare);
  EXPECT_EQ(shares().Add(Share("New", "C:\\Data\\Missing")), kNerrUnknownDevDir);
  EXPECT_EQ(shares().Add(Share("File", "C:\\Data\\A\\x.txt")), kNerrUnknownDevDir);
  EXPECT_EQ(shares().Add(Share("Nowhere", "Q:\\Data")), kNerrUnknownDevDir);
  EXPECT_EQ(shares().Add(Share("", "C:\\Data\\B")), kErrorInvalidParameter);

  ShareInfo found;
  EXPECT_EQ(shares().GetInfo("missing", &found), kNerrNetNameNotFound);
  ASSERT_EQ(shares().GetInfo("docs", &found), kSuccess);
  EXPECT_EQ(found.name, "Docs");
  EXPECT_EQ(found.path, "C:\\Data\\A");
  EXPECT_EQ(found.max_uses, -1);
  EXPECT_FALSE(found.password.has_value());
  EXPECT_FALSE(found.security.has_value());

  EXPECT_EQ(shares().Delete("DoCs"), kSuccess);
  EXPECT_EQ(shares().Delete("Docs"), kNerrNetNameNotFound);
}

TEST_F(SharesContractTest, DescriptorsKeepTheirEntries) {
  ShareInfo share = Share("Secured", "C:\\Data\\A");
  share.max_uses = 5;
  SecurityDescriptor descriptor;
  descriptor.dacl_present = true;
  Ace deny;
  deny.type = kAceAccessDenied;
  deny.mask = kMaskFullControl;
  ASSERT_TRUE(Sid::Parse("S-1-5-21-1-2-3-1001", &deny.sid));
  Ace allow;
  allow.mask = kMaskRead;
  allow.sid = Sid::World();
  descriptor.dacl.entries = {deny, allow};
  share.security = descriptor;
  ASSERT_EQ(shares().Add(share), kSuccess);

  ShareInfo found;
  ASSERT_EQ(shares().GetInfo("Secured", &found), kSuccess);
  EXPECT_EQ(found.max_uses, 5);
  ASSERT_TRUE(found.security.has_value());
  EXPECT_TRUE(found.security->dacl_present);
  EXPECT_EQ(found.security->dacl, descriptor.dacl);
}

TEST_F(SharesContractTest, WorkstationUserIsTheLoggedOnUser) {
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

TEST_F(SharesContractTest, TheShareProxyActsOnTheSameShares) {
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
