// The world-group name each language build gives the access-rights library, read from every
// language's module as built.
#include "app/world_group.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/resources/code_page.h"
#include "platform/resources/pe_resource_image.h"
#include "tests/platform/resources/module_library.h"

namespace qdw::testing {
namespace {

std::unique_ptr<resources::testing::ImageLibrary> Module(const std::string& language) {
  auto image = resources::PeResourceImage::Open(std::string(QDW_TEST_MODULE_DIR) + "/Lingvault_" +
                                                language + ".dll");
  if (image == nullptr) return nullptr;
  return std::make_unique<resources::testing::ImageLibrary>(std::move(image));
}

TEST(WorldGroupTest, FrenchGermanAndSpanishBuildsUseTheNameWindowsGivesTheGroup) {
  const struct {
    const char* language;
    const char* name;
  } cases[] = {{"fr", "Tout le monde"}, {"de", "Jeder"}, {"es", "Todos"}};
  for (const auto& c : cases) {
    auto module = Module(c.language);
    ASSERT_NE(module, nullptr) << c.language;
    EXPECT_EQ(app::WorldGroupName(module.get(), true, resources::kCodePageWestern), c.name);
    // The other builds pass the literal whatever the module holds.
    EXPECT_EQ(app::WorldGroupName(module.get(), false, resources::kCodePageWestern), "Everyone");
  }
}

TEST(WorldGroupTest, AMissingModuleOrStringStillGivesEveryone) {
  EXPECT_EQ(app::WorldGroupName(nullptr, true, resources::kCodePageWestern), "Everyone");
  auto japanese = Module("ja");
  ASSERT_NE(japanese, nullptr);
  EXPECT_EQ(app::WorldGroupName(japanese.get(), true, resources::kCodePageJapanese), "Everyone");
}

}  // namespace
}  // namespace qdw::testing
