// Account names and SIDs as LookupAccountName / LookupAccountSid give them.
#include <gtest/gtest.h>

#include "platform/accounts.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

const char kJoSid[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

TEST(AccountsContractTest, NamesResolveIgnoringCaseWithOrWithoutDomain) {
  SimTestMachine machine;
  Accounts& accounts = machine.platform().accounts();
  Sid sid;
  std::string domain;
  for (const char* name : {"jo", "JO", "workstation\\Jo"}) {
    ASSERT_EQ(accounts.LookupName("", name, &sid, &domain), kSuccess) << name;
    EXPECT_EQ(sid.ToString(), kJoSid);
    EXPECT_EQ(domain, "WORKSTATION");
  }
  EXPECT_EQ(accounts.LookupName("", "OTHERDOMAIN\\jo", &sid, &domain), kErrorNoneMapped);
  EXPECT_EQ(accounts.LookupName("", "nobody", &sid, &domain), kErrorNoneMapped);
  EXPECT_EQ(accounts.LookupName("", "", &sid, &domain), kErrorNoneMapped);

  ASSERT_EQ(accounts.LookupName("", "everyone", &sid, &domain), kSuccess);
  EXPECT_EQ(sid, Sid::World());
  ASSERT_EQ(accounts.LookupName("", "NT AUTHORITY\\SYSTEM", &sid, &domain), kSuccess);
  EXPECT_EQ(sid.ToString(), "S-1-5-18");
  ASSERT_EQ(accounts.LookupName("", "Administrators", &sid, &domain), kSuccess);
  EXPECT_EQ(domain, "BUILTIN");
}

TEST(AccountsContractTest, SidsGiveTheirNamesBack) {
  SimTestMachine machine;
  Accounts& accounts = machine.platform().accounts();
  Sid sid;
  ASSERT_TRUE(Sid::Parse(kJoSid, &sid));
  std::string name, domain;
  ASSERT_EQ(accounts.LookupSid("", sid, &name, &domain), kSuccess);
  EXPECT_EQ(name, "jo");
  EXPECT_EQ(domain, "WORKSTATION");
  ASSERT_EQ(accounts.LookupSid("", Sid::World(), &name, &domain), kSuccess);
  EXPECT_EQ(name, "Everyone");
  ASSERT_TRUE(Sid::Parse("S-1-5-21-9-9-9-9", &sid));
  EXPECT_EQ(accounts.LookupSid("", sid, &name, &domain), kErrorNoneMapped);
  EXPECT_EQ(accounts.LookupSid("", Sid{}, &name, &domain), kErrorInvalidSid);

  ASSERT_EQ(accounts.ProcessUser(&sid), kSuccess);
  EXPECT_EQ(sid.ToString(), kJoSid);
}

TEST(AccountsContractTest, AMachineMayNameTheWorldGroupInItsLanguage) {
  SimTestMachine machine(sim::Json{{"accounts",
                                    {{{"name", "jo"}, {"domain", "WORKSTATION"}, {"sid", kJoSid}},
                                     {{"name", "Jeder"}, {"domain", ""}, {"sid", "S-1-1-0"}}}}});
  Accounts& accounts = machine.platform().accounts();
  Sid sid;
  std::string domain;
  EXPECT_EQ(accounts.LookupName("", "Everyone", &sid, &domain), kErrorNoneMapped);
  ASSERT_EQ(accounts.LookupName("", "jeder", &sid, &domain), kSuccess);
  EXPECT_EQ(sid, Sid::World());
}

TEST(AccountsContractTest, AProcessWithoutAReadableTokenHasNoUser) {
  SimTestMachine machine(sim::Json{{"current_user", {{"sid", "not a sid"}}}});
  Sid sid;
  EXPECT_EQ(machine.platform().accounts().ProcessUser(&sid), kErrorNoToken);
}

}  // namespace
}  // namespace qdw::platform
