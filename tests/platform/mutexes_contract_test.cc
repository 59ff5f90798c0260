// Named mutexes: the second creator learns that the mutex exists, in this process or another.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/mutexes.h"
#include "platform/processes.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

class MutexesContractTest : public ::testing::Test {
 protected:
  // Runs the probe program, which creates the mutex in a process of its own.
  uint32_t CreateInAnotherProcess(const std::string& name) {
    std::unique_ptr<ProcessHandle> process;
    EXPECT_EQ(
        port_->platform().processes().Start(port_->ProbeProgram(), "mutex " + name, true, &process),
        kSuccess);
    if (!process) return 0xFFFF;
    EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
    uint32_t code = 0;
    process->ExitCode(&code);
    return code;
  }

  // A name no other run of the suites uses at the same time.
  std::string Unique(const std::string& name) {
    return name + "-" + std::to_string(port_->platform().processes().CurrentProcessId());
  }

  Mutexes& mutexes() { return port_->platform().mutexes(); }
  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
};

TEST_F(MutexesContractTest, SecondCreatorInTheSameProcessGetsAlreadyExistsAndAHandle) {
  const std::string name = Unique("QdwUniqueName");
  std::unique_ptr<NamedMutex> first;
  std::unique_ptr<NamedMutex> second;
  ASSERT_EQ(mutexes().Create(name, true, &first), kSuccess);
  EXPECT_EQ(mutexes().Create(name, true, &second), kErrorAlreadyExists);
  EXPECT_NE(second, nullptr);
  std::unique_ptr<NamedMutex> other;
  EXPECT_EQ(mutexes().Create(Unique("qdwuniquename"), true, &other), kSuccess);  // case counts
  first.reset();
  EXPECT_EQ(mutexes().Create(name, true, &first), kErrorAlreadyExists);
  second.reset();
  first.reset();
  EXPECT_EQ(mutexes().Create(name, true, &first), kSuccess);
}

TEST_F(MutexesContractTest, AnotherProcessOfTheMachineSeesTheMutex) {
  const std::string name = Unique("QdwUniqueName");
  EXPECT_EQ(CreateInAnotherProcess(name), 0u);  // gone with that process
  std::unique_ptr<NamedMutex> held;
  ASSERT_EQ(mutexes().Create(name, true, &held), kSuccess);
  EXPECT_EQ(CreateInAnotherProcess(name), 183u);
  held->Release();
  EXPECT_EQ(CreateInAnotherProcess(name), 183u);  // released, still open
  held.reset();
  EXPECT_EQ(CreateInAnotherProcess(name), 0u);
}

}  // namespace
}  // namespace qdw::platform
