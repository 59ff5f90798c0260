// Network shares as Windows behaves: every share enumerated with a resume handle, duplicate
// and missing names, shares of missing folders, descriptors kept with their SIDs, and the
// workstation user.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/shares.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

class SharesContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uint32_t resume = 0;
    std::vector<ShareInfo> listed;
    if (shares().Enumerate(&resume, &listed) == kErrorNotSupported) {
      GTEST_SKIP() << "the share calls are stubs here (NetShareEnum and NetShareAdd return 50, "
                      "NetShareGetInfo 2310); the stand-in machine covers shares";
    }
  }
  void TearDown() override {
    for (const std::string& name : added_) shares().Delete(name);
  }

  Shares& shares() { return port_->platform().shares(); }

  // A share of a scratch folder under a name no other run uses at the same time.
  ShareInfo Share(const std::string& name, const std::string& folder) {
    ShareInfo share;
    share.name = name + std::to_string(port_->platform().processes().CurrentProcessId()) + "$";
    share.path = port_->Scratch(folder);
    share.remark = "Quillon Deskora " + name;
    return share;
  }
  // Adds the share, to be deleted after the case.
  WinError Add(const ShareInfo& share) {
    const WinError result = shares().Add(share);
    if (result == kSuccess) added_.push_back(share.name);
    return result;
  }
  std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
  }

  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
  std::vector<std::string> added_;
};

TEST_F(SharesContractTest, EnumerationListsEveryShareUntilTheLast) {
  std::vector<std::string> names;
  for (const char* letter : {"A", "B", "C", "D", "E", "F", "G"}) {
    port_->PutFile(port_->Scratch(std::string(letter) + "\\x.txt"), "x");
    const ShareInfo share = Share(std::string("QdwList") + letter, letter);
    const WinError result = Add(share);
    if (result == kErrorAccessDenied) GTEST_SKIP() << "sharing folders needs an administrator";
    ASSERT_EQ(result, kSuccess);
    names.push_back(share.name);
  }
  uint32_t resume = 0;
  std::vector<ShareInfo> all;
  WinError result;
  int calls = 0;
  do {
    result = shares().Enumerate(&resume, &all);
  } while (result == kErrorMoreData && ++calls < 1000);
  EXPECT_EQ(result, kSuccess);
  for (const std::string& name : names) {
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const ShareInfo& share) {
      return share.name == name;
    })) << name;
  }
}

TEST_F(SharesContractTest, AddRefusesTakenNamesAndMissingFolders) {
  port_->PutFile(port_->Scratch("A\\x.txt"), "x");
  port_->PutFile(port_->Scratch("B\\x.txt"), "x");
  ShareInfo docs = Share("QdwDocs", "A");
  const WinError added = Add(docs);
  if (added == kErrorAccessDenied) GTEST_SKIP() << "sharing folders needs an administrator";
  ASSERT_EQ(added, kSuccess);
  ShareInfo taken = docs;
  taken.name = Lower(docs.name);
  taken.path = port_->Scratch("B");
  EXPECT_EQ(Add(taken), kNerrDuplicateShare);
  EXPECT_EQ(Add(Share("QdwNew", "Missing")), kNerrUnknownDevDir);
  EXPECT_EQ(Add(Share("QdwFile", "A\\x.txt")), kNerrUnknownDevDir);
  ShareInfo empty = Share("", "B");
  empty.name = "";
  EXPECT_EQ(Add(empty), kErrorInvalidParameter);

  ShareInfo found;
  EXPECT_EQ(shares().GetInfo("QdwMissingShare", &found), kNerrNetNameNotFound);
  ASSERT_EQ(shares().GetInfo(Lower(docs.name), &found), kSuccess);
  EXPECT_EQ(found.name, docs.name);
  EXPECT_EQ(found.path, docs.path);
  EXPECT_EQ(found.remark, docs.remark);
  EXPECT_EQ(found.max_uses, -1);
  EXPECT_FALSE(found.password.has_value());

  EXPECT_EQ(shares().Delete(docs.name), kSuccess);
  EXPECT_EQ(shares().Delete(docs.name), kNerrNetNameNotFound);
}

TEST_F(SharesContractTest, DescriptorsKeepTheirEntries) {
  port_->PutFile(port_->Scratch("A\\x.txt"), "x");
  ShareInfo share = Share("QdwSecured", "A");
  share.max_uses = 5;
  SecurityDescriptor descriptor;
  descriptor.dacl_present = true;
  Ace deny;
  deny.type = kAceAccessDenied;
  deny.mask = kMaskFullControl;
  ASSERT_EQ(port_->platform().accounts().ProcessUser(&deny.sid), kSuccess);
  Ace allow;
  allow.mask = kMaskRead;
  allow.sid = Sid::World();
  descriptor.dacl.entries = {deny, allow};
  share.security = descriptor;
  const WinError added = Add(share);
  if (added == kErrorAccessDenied) GTEST_SKIP() << "sharing folders needs an administrator";
  ASSERT_EQ(added, kSuccess);

  ShareInfo found;
  ASSERT_EQ(shares().GetInfo(share.name, &found), kSuccess);
  EXPECT_EQ(found.max_uses, 5);
  ASSERT_TRUE(found.security.has_value());
  EXPECT_TRUE(found.security->dacl_present);
  EXPECT_EQ(found.security->dacl, descriptor.dacl);
}

TEST(WorkstationUserContractTest, IsTheLoggedOnUser) {
  auto port = testing::PortUnderTest::Make();
  std::string domain, user;
  ASSERT_EQ(port->platform().shares().WorkstationUser(&domain, &user), kSuccess);
  EXPECT_FALSE(domain.empty());
  std::string logged_on;
  ASSERT_EQ(port->platform().system().UserName(&logged_on), kSuccess);
  EXPECT_EQ(user, logged_on);
}

}  // namespace
}  // namespace qdw::platform
