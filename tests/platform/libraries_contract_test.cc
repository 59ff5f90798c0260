// Loading modules by name: modules with entry points and the resource module.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/library.h"
#include "platform/windows_path.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

TEST(LibrariesContractTest, LoadsAModuleByNameIgnoringCaseAndFindsItsEntries) {
  auto port = testing::PortUnderTest::Make();
  Libraries& libraries = port->platform().libraries();
  std::unique_ptr<Library> library;
  ASSERT_EQ(libraries.Load(LowerAnsi(port->KnownModule()), &library), kSuccess);
  EXPECT_NE(library->Symbol(port->KnownEntry()), nullptr);
  EXPECT_EQ(library->Symbol("NoSuchEntry"), nullptr);
  EXPECT_EQ(libraries.Load("NoSuchModule.dll", &library), kErrorModNotFound);
  EXPECT_EQ(library, nullptr);
}

TEST(LibrariesContractTest, ServesTheResourceModuleFromItsWindowsImage) {
  auto port = testing::PortUnderTest::Make();
  if (!port->BuiltBesideTests("Lingvault.dll")) {
    GTEST_SKIP() << "Lingvault.dll is not built (needs the MinGW binutils)";
  }
  std::unique_ptr<Library> library;
  ASSERT_EQ(port->platform().libraries().Load("lingvault.DLL", &library), kSuccess);
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(library->Resource(kResourceString, 125 / 16 + 1, &bytes));  // message 125
  EXPECT_FALSE(bytes.empty());
  EXPECT_FALSE(library->Resource(kResourceString, 4000, &bytes));
  EXPECT_EQ(library->Symbol("DllMain"), nullptr);
}

}  // namespace
}  // namespace qdw::platform
