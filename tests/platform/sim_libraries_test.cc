// The stand-in machine's modules: host shared objects called through their entries, and
// faults that make a module missing or incomplete.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/library.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

TEST(SimLibrariesTest, AModuleIsAHostSharedObjectWithoutResources) {
  SimTestMachine machine;
  std::unique_ptr<Library> library;
  ASSERT_EQ(machine.platform().libraries().Load("SIMPROBE.DLL", &library), kSuccess);
  auto answer = reinterpret_cast<int (*)()>(library->Symbol("SimProbeAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(library->Resource(kResourceString, 1, &bytes));
}

TEST(SimLibrariesTest, FaultsMakeAModuleMissingOrIncomplete) {
  SimTestMachine machine;
  Libraries& libraries = machine.platform().libraries();
  machine.machine().faults().AddRule("Libraries.Load", 1, kErrorModNotFound, "simprobe", 0);
  machine.machine().faults().AddRule("Libraries.Symbol", 1, kErrorProcNotFound,
                                     "SimProbe.dll!SimProbeAnswer", 0);
  std::unique_ptr<Library> library;
  EXPECT_EQ(libraries.Load("SimProbe", &library), kErrorModNotFound);
  ASSERT_EQ(libraries.Load("SimProbe.dll", &library), kSuccess);
  EXPECT_EQ(library->Symbol("SimProbeAnswer"), nullptr);
}

}  // namespace
}  // namespace qdw::platform
