// The string table of the built resource module against the list of numbers the program uses.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/resources/code_page.h"
#include "platform/resources/string_table.h"
#include "tests/platform/resources/lingvault_fixture.h"

namespace qdw::resources::testing {
namespace {

bool EndsWithAny(const std::string& text, const std::string& endings) {
  return !text.empty() && endings.find(text.back()) != std::string::npos;
}

TEST_F(LingvaultTest, EveryStringTheProgramUsesIsThereAndReadsAsItsKindMust) {
  const ResourceStrings strings(module_);
  for (const ExpectedString& expected : strings_) {
    SCOPED_TRACE("string " + std::to_string(expected.id) + " (" + expected.purpose + ")");
    std::u16string wide;
    ASSERT_TRUE(strings.FindUtf16(expected.id, &wide));
    EXPECT_TRUE(FitsCodePage(wide, kCodePageWestern)) << "a character outside code page 1252";
    const std::string text = strings.Text(expected.id);
    // No text is ever passed through a formatting function, so "%" would be shown as it is.
    EXPECT_EQ(text.find('%'), std::string::npos) << text;
    EXPECT_TRUE(text.front() != ' ' && text.front() != '\n') << "leading blank: " << text;
    EXPECT_TRUE(text.back() != ' ' && text.back() != '\n') << "trailing blank: " << text;
    if (expected.kind == "question") {
      EXPECT_TRUE(EndsWithAny(text, "?")) << "a Yes/No question must ask: " << text;
    } else if (expected.kind == "message") {
      EXPECT_TRUE(EndsWithAny(text, ".?!")) << "a message is whole sentences: " << text;
    } else if (expected.kind == "list") {
      EXPECT_TRUE(EndsWithAny(text, ":")) << "a list follows: " << text;
    } else if (expected.kind == "label") {
      EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    }
  }
}

TEST_F(LingvaultTest, ModuleHoldsNoStringTheProgramDoesNotUse) {
  std::set<int> used;
  for (const ExpectedString& expected : strings_) used.insert(expected.id);
  for (uint16_t block_id : module_->image().ResourceIds(platform::kResourceString)) {
    std::vector<uint8_t> block;
    ASSERT_TRUE(module_->Resource(platform::kResourceString, block_id, &block));
    for (int index = 0; index < kStringsPerBlock; ++index) {
      std::u16string text;
      ASSERT_TRUE(DecodeStringBlockEntry(block, index, &text));
      const int id = (block_id - 1) * kStringsPerBlock + index;
      EXPECT_TRUE(text.empty() || used.count(id)) << "string " << id << " is not in the list";
    }
  }
}

TEST_F(LingvaultTest, StringsAreEnglishForTheWesternCodePage) {
  uint16_t language = 0;
  ASSERT_TRUE(
      module_->image().ResourceLanguage(platform::kResourceString, StringBlockId(1), &language));
  EXPECT_EQ(language, 0x0409);
  const ResourceStrings strings(module_);
  EXPECT_EQ(strings.Text(1), "OK");
  EXPECT_EQ(strings.Text(2), "Cancel");
  // The default share remark reads naturally once the program has put it together.
  EXPECT_EQ("Quillon Deskora " + strings.Text(163) + " -Projects",
            "Quillon Deskora shared folder -Projects");
}

TEST_F(LingvaultTest, MissingStringsAndAMissingModuleGiveEmptyTexts) {
  const ResourceStrings strings(module_);
  std::string text = "unchanged";
  EXPECT_FALSE(strings.Find(151, &text));  // in a block that exists, but unused
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(strings.Text(40000), "");  // no such block
  const ResourceStrings without_module(nullptr);
  EXPECT_EQ(without_module.Text(1), "");
  EXPECT_FALSE(without_module.Find(1, &text));
}

}  // namespace
}  // namespace qdw::resources::testing
