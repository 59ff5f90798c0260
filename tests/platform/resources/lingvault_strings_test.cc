// The string table of the built resource module against the list of numbers the program uses.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/resources/code_page.h"
#include "platform/resources/string_table.h"
#include "tests/platform/resources/lingvault_fixture.h"

namespace qdw::resources::testing {
namespace {

// Whether the text ends with one of the characters (compared as UTF-16, so that the full-width
// punctuation of Japanese counts too).
bool EndsWithAny(const std::u16string& text, const std::u16string& endings) {
  return !text.empty() && endings.find(text.back()) != std::u16string::npos;
}

TEST_F(LingvaultTest, EveryStringTheProgramUsesIsThereAndReadsAsItsKindMust) {
  const ResourceStrings strings(module_, LingvaultCodePage());
  for (const ExpectedString& expected : strings_) {
    SCOPED_TRACE("string " + std::to_string(expected.id) + " (" + expected.purpose + ")");
    std::u16string wide;
    ASSERT_TRUE(strings.FindUtf16(expected.id, &wide));
    EXPECT_TRUE(FitsCodePage(wide, LingvaultCodePage()))
        << "a character outside code page " << LingvaultCodePage();
    const std::string text = strings.Text(expected.id);
    // No text is ever passed through a formatting function, so "%" would be shown as it is.
    EXPECT_EQ(text.find('%'), std::string::npos) << text;
    EXPECT_TRUE(text.front() != ' ' && text.front() != '\n') << "leading blank: " << text;
    EXPECT_TRUE(text.back() != ' ' && text.back() != '\n') << "trailing blank: " << text;
    if (expected.kind == "question") {
      EXPECT_TRUE(EndsWithAny(wide, u"?\uFF1F")) << "a Yes/No question must ask: " << text;
    } else if (expected.kind == "message") {
      EXPECT_TRUE(EndsWithAny(wide, u".?!\u3002\uFF1F\uFF01"))
          << "a message is whole sentences: " << text;
    } else if (expected.kind == "list") {
      EXPECT_TRUE(EndsWithAny(wide, u":\uFF1A")) << "a list follows: " << text;
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

TEST_F(LingvaultTest, StringsAreInTheModulesLanguage) {
  uint16_t language = 0;
  ASSERT_TRUE(
      module_->image().ResourceLanguage(platform::kResourceString, StringBlockId(1), &language));
  EXPECT_EQ(language, LingvaultLanguageId());
  for (const ExpectedDialog& expected : dialogs_) {
    ASSERT_TRUE(
        module_->image().ResourceLanguage(platform::kResourceDialog, expected.id, &language));
    EXPECT_EQ(language, LingvaultLanguageId()) << "template " << expected.id;
  }
  const ResourceStrings strings(module_, LingvaultCodePage());
  if (LingvaultLanguage() == "en") {
    EXPECT_EQ(strings.Text(1), "OK");
    EXPECT_EQ(strings.Text(2), "Cancel");
    // The default share remark reads naturally once the program has put it together.
    EXPECT_EQ("Quillon Deskora " + strings.Text(163) + " -Projects",
              "Quillon Deskora shared folder -Projects");
  } else {
    // Translated, not copied: the common answers differ from English in every language.
    EXPECT_NE(strings.Text(2), "Cancel");
    EXPECT_NE(strings.Text(148), "Restore");
  }
}

// The builds that give the access-rights library a localized world-group name load it from
// string 187; it must be the name that language's Windows gives the group.
TEST_F(LingvaultTest, WorldGroupNameIsTheOneWindowsUsesInTheLanguage) {
  const std::map<std::string, std::string> names = {{"en", "Everyone"}, {"fr", "Tout le monde"},
                                                    {"de", "Jeder"},    {"it", "Everyone"},
                                                    {"ja", "Everyone"}, {"es", "Todos"}};
  ASSERT_EQ(names.count(LingvaultLanguage()), 1u);
  EXPECT_EQ(ResourceStrings(module_, LingvaultCodePage()).Text(187), names.at(LingvaultLanguage()));
}

TEST_F(LingvaultTest, MissingStringsAndAMissingModuleGiveEmptyTexts) {
  const ResourceStrings strings(module_, LingvaultCodePage());
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
