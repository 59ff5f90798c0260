// Account names and SIDs as LookupAccountName / LookupAccountSid give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/accounts.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

class AccountsContractTest : public ::testing::Test {
 protected:
  Accounts& accounts() { return port_->platform().accounts(); }
  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
};

TEST_F(AccountsContractTest, NamesResolveWithOrWithoutDomain) {
  Sid user;
  ASSERT_EQ(accounts().ProcessUser(&user), kSuccess);
  std::string name;
  std::string user_domain;
  ASSERT_EQ(accounts().LookupSid("", user, &name, &user_domain), kSuccess);
  ASSERT_FALSE(name.empty());
  Sid sid;
  std::string domain;
  for (const std::string& spelling : {name, Upper(user_domain) + "\\" + name}) {
    ASSERT_EQ(accounts().LookupName("", spelling, &sid, &domain), kSuccess) << spelling;
    EXPECT_EQ(sid, user);
    EXPECT_EQ(Upper(domain), Upper(user_domain));
  }

  EXPECT_EQ(accounts().LookupName("", "NoSuchQdwAccount", &sid, &domain), kErrorNoneMapped);
  EXPECT_EQ(accounts().LookupName("", "", &sid, &domain), kErrorNoneMapped);

  ASSERT_EQ(accounts().LookupName("", "everyone", &sid, &domain), kSuccess);
  EXPECT_EQ(sid, Sid::World());
  ASSERT_EQ(accounts().LookupName("", "NT AUTHORITY\\SYSTEM", &sid, &domain), kSuccess);
  EXPECT_EQ(sid.ToString(), "S-1-5-18");
  ASSERT_EQ(accounts().LookupName("", "Administrators", &sid, &domain), kSuccess);
  EXPECT_EQ(domain, "BUILTIN");
}

TEST_F(AccountsContractTest, UserNamesMatchIgnoringCase) {
  QDW_SKIP_IF_LACKING(*port_, testing::Capability::kCaseInsensitiveAccounts);
  Sid user;
  ASSERT_EQ(accounts().ProcessUser(&user), kSuccess);
  std::string name;
  std::string user_domain;
  ASSERT_EQ(accounts().LookupSid("", user, &name, &user_domain), kSuccess);
  Sid sid;
  std::string domain;
  for (const std::string& spelling : {Upper(name), user_domain + "\\" + Upper(name)}) {
    ASSERT_EQ(accounts().LookupName("", spelling, &sid, &domain), kSuccess) << spelling;
    EXPECT_EQ(sid, user);
  }
}

TEST_F(AccountsContractTest, ANameQualifiedWithAnotherDomainIsNoAccount) {
  QDW_SKIP_IF_LACKING(*port_, testing::Capability::kDomainQualifiedNames);
  Sid user;
  ASSERT_EQ(accounts().ProcessUser(&user), kSuccess);
  std::string name;
  std::string domain;
  ASSERT_EQ(accounts().LookupSid("", user, &name, &domain), kSuccess);
  Sid sid;
  EXPECT_EQ(accounts().LookupName("", "QDWNODOMAIN\\" + name, &sid, &domain), kErrorNoneMapped);
}

TEST_F(AccountsContractTest, SidsGiveTheirNamesBack) {
  std::string name, domain;
  ASSERT_EQ(accounts().LookupSid("", Sid::World(), &name, &domain), kSuccess);
  EXPECT_EQ(name, "Everyone");
  Sid sid;
  ASSERT_TRUE(Sid::Parse("S-1-5-21-9-9-9-9", &sid));
  EXPECT_EQ(accounts().LookupSid("", sid, &name, &domain), kErrorNoneMapped);
  EXPECT_EQ(accounts().LookupSid("", Sid{}, &name, &domain), kErrorInvalidSid);
}

}  // namespace
}  // namespace qdw::platform
