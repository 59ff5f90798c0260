// Loading modules by name: shared objects with entry points, the resource module, faults.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "platform/library.h"
#include "tests/platform/sim_probe.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

TEST(LibrariesContractTest, LoadsAModuleByNameIgnoringCaseAndFindsItsEntries) {
  SimTestMachine machine;
  Libraries& libraries = machine.platform().libraries();
  std::unique_ptr<Library> library;
  ASSERT_EQ(libraries.Load("SIMPROBE.DLL", &library), kSuccess);
  auto answer = reinterpret_cast<int (*)()>(library->Symbol("SimProbeAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(library->Symbol("NoSuchEntry"), nullptr);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(library->Resource(kResourceString, 1, &bytes));
  EXPECT_EQ(libraries.Load("NoSuchModule.dll", &library), kErrorModNotFound);
  EXPECT_EQ(library, nullptr);
}

TEST(LibrariesContractTest, FaultsMakeAModuleMissingOrIncomplete) {
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

TEST(LibrariesContractTest, ServesTheResourceModuleFromItsWindowsImage) {
  struct stat st;
  if (::stat((testing::TestBinaryFolder() + "/Lingvault.dll").c_str(), &st) != 0) {
    GTEST_SKIP() << "Lingvault.dll is not built (needs the MinGW binutils)";
  }
  SimTestMachine machine;
  std::unique_ptr<Library> library;
  ASSERT_EQ(machine.platform().libraries().Load("lingvault.DLL", &library), kSuccess);
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(library->Resource(kResourceString, 125 / 16 + 1, &bytes));  // message 125
  EXPECT_FALSE(bytes.empty());
  EXPECT_FALSE(library->Resource(kResourceString, 4000, &bytes));
  EXPECT_EQ(library->Symbol("DllMain"), nullptr);
}

}  // namespace
}  // namespace qdw::platform
