// The stand-in machine's accounts: those of its description, a world group named in the
// machine's language, and a process without a readable token.
#include <gtest/gtest.h>

#include "platform/accounts.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

const char kJoSid[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

TEST(SimAccountsTest, TheDescribedUserHasTheDescribedSid) {
  SimTestMachine machine;
  Accounts& accounts = machine.platform().accounts();
  Sid sid;
  std::string domain;
  ASSERT_EQ(accounts.LookupName("", "workstation\\Jo", &sid, &domain), kSuccess);
  EXPECT_EQ(sid.ToString(), kJoSid);
  EXPECT_EQ(domain, "WORKSTATION");
  ASSERT_EQ(accounts.ProcessUser(&sid), kSuccess);
  EXPECT_EQ(sid.ToString(), kJoSid);
}

TEST(SimAccountsTest, AMachineMayNameTheWorldGroupInItsLanguage) {
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

TEST(SimAccountsTest, AProcessWithoutAReadableTokenHasNoUser) {
  SimTestMachine machine(sim::Json{{"current_user", {{"sid", "not a sid"}}}});
  Sid sid;
  EXPECT_EQ(machine.platform().accounts().ProcessUser(&sid), kErrorNoToken);
}

}  // namespace
}  // namespace qdw::platform
