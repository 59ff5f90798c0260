// Every string number the program's code uses is listed for the modules and present in every
// language's module, and the log viewer's heading fits the width each build lays it out at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/result_messages.h"
#include "platform/resources/pe_resource_image.h"
#include "platform/resources/resource_image_library.h"
#include "platform/resources/string_table.h"
#include "tests/platform/resources/dialog_text_fit.h"
#include "tests/platform/resources/resource_expectations.h"

namespace qdw::resources::testing {
namespace {

std::vector<std::string> Languages() {
  std::vector<std::string> languages;
  std::stringstream list(QDW_TEST_LANGUAGES);
  for (std::string code; std::getline(list, code, ',');) languages.push_back(code);
  return languages;
}

int CodePage(const std::string& language) {
  return language == "ja" ? kCodePageJapanese : kCodePageWestern;
}

std::unique_ptr<platform::Library> Module(const std::string& language) {
  auto image =
      PeResourceImage::Open(std::string(QDW_TEST_MODULE_DIR) + "/Lingvault_" + language + ".dll");
  if (image == nullptr) return nullptr;
  return std::make_unique<ResourceImageLibrary>(std::move(image));
}

// The string numbers written in the program's sources: the named constants of strings (kText*,
// kMsg*, kMessage*, *String, *StringId; "// to N" after one marks a run of numbers), and literal
// numbers passed to the calls that show or load strings.
std::map<int, std::string> StringNumbersInSources() {
  static const std::regex kConstant(
      R"(constexpr\s+(?:int|uint16_t)\s+(k(?:Text|Msg|Message)[A-Z]\w*|k\w*String(?:Id)?)\s*=\s*)"
      R"((\d+);)"
      R"((?:\s*//\s*to\s+(\d+))?)");
  static const std::regex kCall(
      R"((ShowMessage|CustomMessageBox|MessageBox|LoadText|SetItemString)\(\s*(\d+)(?:\s*,\s*(\d+))?(?:\s*,\s*(\d+))?)");
  std::map<int, std::string> numbers;
  const std::filesystem::path root(QDW_TEST_SOURCE_DIR);
  for (const char* folder : {"app", "engine", "system", "database"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".cc" && extension != ".h") continue;
      std::ifstream in(entry.path());
      std::stringstream text;
      text << in.rdbuf();
      const std::string source = text.str();
      const std::string where = entry.path().lexically_relative(root).string();
      for (std::sregex_iterator it(source.begin(), source.end(), kConstant), end; it != end; ++it) {
        const int first = std::stoi((*it)[2]);
        const int last = (*it)[3].matched ? std::stoi((*it)[3]) : first;
        for (int id = first; id <= last; ++id) numbers[id] = where + " " + (*it)[1].str();
      }
      for (std::sregex_iterator it(source.begin(), source.end(), kCall), end; it != end; ++it) {
        // SetItemString takes the control first and the string second.
        const int first_string = (*it)[1] == "SetItemString" ? 3 : 2;
        const int last_string = (*it)[1] == "CustomMessageBox" ? 4 : first_string;
        for (int group = first_string; group <= last_string; ++group) {
          if ((*it)[group].matched) numbers[std::stoi((*it)[group])] = where + " " + (*it)[1].str();
        }
      }
    }
  }
  for (int code = 0; code <= 400; ++code) {
    if (const int message = app::ResultMessage(code)) {
      numbers[message] = "result code " + std::to_string(code);
    }
  }
  return numbers;
}

TEST(ProgramStringsTest, EveryNumberTheCodeUsesIsListedAndInEveryModule) {
  const std::map<int, std::string> used = StringNumbersInSources();
  // The scan must see the program's messages, or it would pass on anything.
  ASSERT_GT(used.size(), 60u);
  ASSERT_EQ(used.count(125), 1u);
  ASSERT_EQ(used.count(181), 1u);
  ASSERT_EQ(used.count(187), 1u);

  std::vector<ExpectedString> listed_strings;
  std::string error;
  ASSERT_TRUE(ReadExpectedStrings(std::string(QDW_TEST_SOURCE_DIR) + "/lingvault/string_ids.txt",
                                  &listed_strings, &error))
      << error;
  std::set<int> listed;
  for (const ExpectedString& expected : listed_strings) listed.insert(expected.id);

  for (const std::string& language : Languages()) {
    SCOPED_TRACE(language);
    auto module = Module(language);
    ASSERT_NE(module, nullptr);
    const ResourceStrings strings(module.get(), CodePage(language));
    for (const auto& [id, where] : used) {
      std::u16string text;
      EXPECT_TRUE(strings.FindUtf16(static_cast<uint16_t>(id), &text) && !text.empty())
          << "string " << id << " (" << where << ") is missing";
      EXPECT_EQ(listed.count(id), 1u) << "string " << id << " (" << where << ") is not listed";
    }
  }
}

// The log viewer lays its heading out at 70 by 15 pixels, 80 in the Japanese build. MS Shell
// Dlg 8 has base units of 6 by 13 pixels: a dialog unit is 1.5 pixels across, 13/8 down.
TEST(ProgramStringsTest, LogHeadingFitsTheWidthItsBuildLaysItOutAt) {
  for (const std::string& language : Languages()) {
    SCOPED_TRACE(language);
    auto module = Module(language);
    ASSERT_NE(module, nullptr);
    const int width_pixels = language == "ja" ? 80 : 70;
    DialogControl heading;
    heading.class_name = "Static";
    heading.cx = static_cast<int16_t>(width_pixels * 4 / 6);
    heading.cy = static_cast<int16_t>(15 * 8 / 13);
    const std::string text = ResourceStrings(module.get(), CodePage(language)).Text(102);
    std::string why;
    EXPECT_TRUE(TextFitsControl(heading, text, &why, CodePage(language))) << text << ": " << why;
  }
}

}  // namespace
}  // namespace qdw::resources::testing
