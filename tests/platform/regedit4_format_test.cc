// The REGEDIT4 reader and writer of the stand-in hives.
#include "platform/sim/regedit4_format.h"

#include <gtest/gtest.h>

#include "platform/registry.h"

namespace qdw::sim {
namespace {

const char kRoot[] = "HKEY_LOCAL_MACHINE";

TEST(Regedit4FormatTest, EveryValueFormSurvivesARoundTrip) {
  RegistryNode root(kRoot);
  RegistryNode* key = root.AddChild("SOFTWARE")->AddChild("Odd \"name\" [x]");
  key->SetValue({"", platform::kRegSz, {'d', 0}});
  key->SetValue({"text", platform::kRegSz, {'a', '\\', '"', 'b', 0}});
  key->SetValue({"count", platform::kRegDword, {0x78, 0x56, 0x34, 0x12}});
  key->SetValue({"short dword", platform::kRegDword, {1, 2}});
  std::vector<uint8_t> blob(200);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i * 7);
  key->SetValue({"blob", platform::kRegBinary, blob});
  key->SetValue({"empty", platform::kRegBinary, {}});
  key->SetValue({"multi", platform::kRegMultiSz, {'a', 0, 'b', 0, 0}});
  std::vector<uint8_t> padded = {'C', ':', 0};
  padded.resize(1024, 0);
  key->SetValue({"padded", platform::kRegSz, padded});
  key->SetValue({"line break", platform::kRegSz, {'x', '\n', 'y', 0}});
  root.Child("SOFTWARE")->AddChild("Empty Key");

  std::string text = FormatRegedit4(root, kRoot);
  RegistryNode parsed(kRoot);
  std::string error;
  ASSERT_TRUE(ParseRegedit4(text, kRoot, &parsed, &error)) << error << "\n" << text;
  EXPECT_EQ(FormatRegedit4(parsed, kRoot), text);
  const RegistryNode* back = parsed.Child("software")->Child("ODD \"NAME\" [X]");
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->values().size(), key->values().size());
  for (size_t i = 0; i < key->values().size(); ++i) {
    EXPECT_EQ(back->values()[i].name, key->values()[i].name);
    EXPECT_EQ(back->values()[i].type, key->values()[i].type) << key->values()[i].name;
    EXPECT_EQ(back->values()[i].data, key->values()[i].data) << key->values()[i].name;
  }
  EXPECT_NE(parsed.Child("SOFTWARE")->Child("Empty Key"), nullptr);
  // Long hex lists wrap within a screen line.
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    EXPECT_LE(end - start, 82u);
  }
}

TEST(Regedit4FormatTest, ReadsWhatPeopleWrite) {
  const char* text =
      "\xEF\xBB\xBFREGEDIT4\r\n"
      "\r\n"
      "; a comment\r\n"
      "[HKLM\\Software\\A]\r\n"
      "\"Gone\"=\"x\"\r\n"
      "\"Gone\"=-\r\n"
      "\"Spaced\" = dword:a\r\n"
      "\"Wrapped\"=hex:01,02,\\\r\n"
      "   03,04\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\B]\r\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\B]\r\n";
  RegistryNode root(kRoot);
  std::string error;
  ASSERT_TRUE(ParseRegedit4(text, kRoot, &root, &error)) << error;
  const RegistryNode* a = root.Child("SOFTWARE")->Child("a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->FindValue("gone"), nullptr);
  ASSERT_NE(a->FindValue("Spaced"), nullptr);
  EXPECT_EQ(a->FindValue("Spaced")->data, (std::vector<uint8_t>{10, 0, 0, 0}));
  EXPECT_EQ(a->FindValue("Wrapped")->data, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(root.Child("SOFTWARE")->Child("B"), nullptr);
}

TEST(Regedit4FormatTest, RefusesTextThatIsNotAHiveAndNamesTheLine) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"Windows Registry Editor Version 5.00\n", "line 1"},
      {"REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n", "line 3"},
      {"REGEDIT4\n\"orphan\"=\"x\"\n", "line 2"},
      {"REGEDIT4\n[HKLM\\A]\n\"v\"=dword:123456789\n", "line 3"},
      {"REGEDIT4\n[HKLM\\A]\n\"v\"=hex:1g\n", "line 3"},
      {"REGEDIT4\n[HKLM\\A]\n\"v\"=\"unterminated\n", "line 3"},
      {"REGEDIT4\n[HKLM\\A\\\\B]\n", "line 2"},
      {"REGEDIT4\n[HKLM\\A\n", "line 2"},
      {"REGEDIT4\nrubbish\n", "line 2"},
  };
  for (const Case& c : cases) {
    RegistryNode root(kRoot);
    std::string error;
    EXPECT_FALSE(ParseRegedit4(c.text, kRoot, &root, &error)) << c.text;
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.text << " -> " << error;
  }
  RegistryNode root(kRoot);
  std::string error;
  EXPECT_TRUE(ParseRegedit4("", kRoot, &root, &error));
  EXPECT_TRUE(root.children().empty());
}

}  // namespace
}  // namespace qdw::sim
