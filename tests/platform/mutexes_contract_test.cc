// Named mutexes: the second creator learns that the mutex exists, in this process or another.
#include <gtest/gtest.h>

#include <memory>

#include "platform/mutexes.h"
#include "platform/processes.h"
#include "tests/platform/sim_probe.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

class MutexesContractTest : public ::testing::Test {
 protected:
  MutexesContractTest()
      : machine_(sim::Json{{"programs", {{"C:\\probe.exe", testing::ProbeProgram()}}}}) {}

  // Runs the probe program, which creates the mutex in a process of its own.
  uint32_t CreateInAnotherProcess(const std::string& name) {
    std::unique_ptr<ProcessHandle> process;
    EXPECT_EQ(
        machine_.platform().processes().Start("C:\\probe.exe", "mutex " + name, true, &process),
        kSuccess);
    if (!process) return 0xFFFF;
    EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
    uint32_t code = 0;
    process->ExitCode(&code);
    return code;
  }

  Mutexes& mutexes() { return machine_.platform().mutexes(); }
  SimTestMachine machine_;
};

TEST_F(MutexesContractTest, SecondCreatorInTheSameProcessGetsAlreadyExistsAndAHandle) {
  std::unique_ptr<NamedMutex> first;
  std::unique_ptr<NamedMutex> second;
  ASSERT_EQ(mutexes().Create("UniqueName", true, &first), kSuccess);
  EXPECT_EQ(mutexes().Create("UniqueName", true, &second), kErrorAlreadyExists);
  EXPECT_NE(second, nullptr);
  std::unique_ptr<NamedMutex> other;
  EXPECT_EQ(mutexes().Create("uniquename", true, &other), kSuccess);  // names keep their case
  first.reset();
  EXPECT_EQ(mutexes().Create("UniqueName", true, &first), kErrorAlreadyExists);
  second.reset();
  first.reset();
  EXPECT_EQ(mutexes().Create("UniqueName", true, &first), kSuccess);
}

TEST_F(MutexesContractTest, AnotherProcessOfTheMachineSeesTheMutex) {
  EXPECT_EQ(CreateInAnotherProcess("UniqueName"), 0u);  // gone with that process
  std::unique_ptr<NamedMutex> held;
  ASSERT_EQ(mutexes().Create("UniqueName", true, &held), kSuccess);
  EXPECT_EQ(CreateInAnotherProcess("UniqueName"), 183u);
  held->Release();
  EXPECT_EQ(CreateInAnotherProcess("UniqueName"), 183u);  // released, still open
  held.reset();
  EXPECT_EQ(CreateInAnotherProcess("UniqueName"), 0u);
}

}  // namespace
}  // namespace qdw::platform
