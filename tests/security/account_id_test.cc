#include "security/account_id.h"

#include <gtest/gtest.h>

#include "security/process_user.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::security {
namespace {

constexpr char kJoSid[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

class AccountIdTest : public ::testing::Test {
 protected:
  platform::Accounts& accounts() { return machine_.platform().accounts(); }
  testing::SimTestMachine machine_;
};

TEST_F(AccountIdTest, NameResolvesToTheAccountsSid) {
  AccountId jo = AccountId::FromName(accounts(), "JO");
  ASSERT_TRUE(jo.IsValid());
  EXPECT_EQ(jo.sid().ToString(), kJoSid);
  EXPECT_EQ(AccountId::FromName(accounts(), "Everyone").sid(), platform::Sid::World());
  EXPECT_FALSE(AccountId::FromName(accounts(), "nobody-here").IsValid());
}

TEST_F(AccountIdTest, NamesAreLookedUpOnceAndKept) {
  platform::Sid sid;
  ASSERT_TRUE(platform::Sid::Parse(kJoSid, &sid));
  AccountId jo(accounts(), sid);
  std::string name;
  std::string domain;
  ASSERT_TRUE(jo.LookupNames(&name, &domain));
  EXPECT_EQ(name, "jo");
  EXPECT_EQ(domain, "WORKSTATION");
  machine_.machine().faults().AddRule("Accounts.LookupSid", 1, platform::kErrorNoneMapped, "", 0);
  AccountId copy = jo;
  EXPECT_EQ(copy.AccountName(), "jo") << "a copy keeps the names found";
  EXPECT_EQ(AccountId(accounts(), sid).AccountName(), "") << "a fresh one must look them up";
}

TEST_F(AccountIdTest, SidWithoutANameHasEmptyNames) {
  platform::Sid sid;
  ASSERT_TRUE(platform::Sid::Parse("S-1-5-21-9-9-9-4242", &sid));
  AccountId unknown(accounts(), sid);
  EXPECT_TRUE(unknown.IsValid());
  std::string name = "x";
  std::string domain = "y";
  EXPECT_FALSE(unknown.LookupNames(&name, &domain));
  EXPECT_EQ(name, "");
  EXPECT_EQ(domain, "");
}

TEST_F(AccountIdTest, ProcessUserIsTheTokenUser) {
  AccountId user;
  ASSERT_TRUE(ReadProcessUser(accounts(), &user));
  EXPECT_EQ(user.sid().ToString(), kJoSid);
  EXPECT_EQ(ProcessUserText(user), "WORKSTATION/jo");

  machine_.machine().faults().AddRule("Accounts.ProcessUser", 1, platform::kErrorNoToken);
  AccountId none;
  EXPECT_FALSE(ReadProcessUser(accounts(), &none));
  EXPECT_FALSE(none.IsValid());
}

}  // namespace
}  // namespace qdw::security
