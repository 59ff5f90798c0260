// A machine whose ANSI code page is 932: names whose second bytes are backslashes (0x5C) stay
// whole through every file operation, the host keeps their UTF-8 form, and shares and registry
// texts reach the program in the machine's code page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/code_page_text.h"
#include "tests/platform/file_system_test_fixture.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

// The program's names are the machine's ANSI text.
std::string Ansi(const std::string& utf8) {
  std::string ansi;
  EXPECT_TRUE(Utf8ToAnsi(kAnsiCodePageJapanese, utf8, &ansi)) << utf8;
  return ansi;
}

class SimCodePageTest : public FileSystemCases {
 protected:
  FileSystem& fs() override { return machine_.platform().files(); }
  bool OnHost(const std::string& relative) {
    return std::filesystem::exists(machine_.folder() + "/drives/C/" + relative);
  }

  testing::SimTestMachine machine_{sim::Json{{"code_page", kAnsiCodePageJapanese}}};
};

TEST_F(SimCodePageTest, NamesWithBackslashTrailBytesStayWholeAndLandOnTheHostAsUtf8) {
  EXPECT_EQ(machine_.platform().system().AnsiCodePage(), 932u);
  const std::string hyouji = "C:\\" + Ansi("表示");
  const std::string junou = "C:\\" + Ansi("十能");
  ASSERT_EQ(fs().MakeFolder(hyouji), kSuccess);
  ASSERT_EQ(fs().MakeFolder(junou), kSuccess);
  Write(hyouji + "\\" + Ansi("ソフト.txt"), "soft");
  EXPECT_TRUE(OnHost("表示/ソフト.txt"));

  EXPECT_EQ(Names(hyouji + "\\*"), (std::vector<std::string>{".", "..", Ansi("ソフト.txt")}));
  EXPECT_EQ(Names("C:\\??"), (std::vector<std::string>{Ansi("十能"), Ansi("表示")}))
      << "a two-byte character is one for \"?\"; names sort by character";
  EXPECT_EQ(Read(hyouji + "\\" + Ansi("ソフト.TXT")), "soft") << "single bytes fold";

  const std::string moved = junou + "\\" + Ansi("申請.txt");
  ASSERT_EQ(fs().Move(hyouji + "\\" + Ansi("ソフト.txt"), moved), kSuccess);
  ASSERT_EQ(fs().WriteAttributes(moved, kAttrHidden), kSuccess);
  EXPECT_EQ(Attributes(moved), kAttrHidden);
  EXPECT_TRUE(OnHost("十能/申請.txt"));
  EXPECT_FALSE(OnHost("表示/ソフト.txt"));
  ASSERT_EQ(fs().WriteAttributes(moved, kAttrNormal), kSuccess);
  ASSERT_EQ(fs().Delete(moved), kSuccess);
  EXPECT_EQ(fs().RemoveFolder(hyouji), kSuccess);
  EXPECT_FALSE(OnHost("表示"));

  // 0x83 0x61 and 0x83 0x41 differ only in a trail byte that looks like "a" and "A".
  Write("C:\\\x83\x61.txt", "small");
  Write("C:\\\x83\x41.txt", "large");
  EXPECT_EQ(Read("C:\\\x83\x61.txt"), "small");
  // Four names of 50 two-byte characters: 406 bytes, but 207 characters, fewer than MAX_PATH.
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += Ansi("表");
  std::string deep = "C:";
  for (int level = 0; level < 4; ++level) {
    deep += "\\" + fifty;
    ASSERT_EQ(fs().MakeFolder(deep), kSuccess) << level;
  }
  Write(deep + "\\a", "deep");
  EXPECT_EQ(Read(deep + "\\a"), "deep");
}

TEST_F(SimCodePageTest, SharesAndRegistryTextsReachTheProgramInTheCodePage) {
  const std::string folder = "C:\\" + Ansi("申請");
  ASSERT_EQ(fs().MakeFolder(folder), kSuccess);
  ShareInfo share;
  share.name = Ansi("申請");
  share.path = folder;
  share.remark = Ansi("ソフト");
  ASSERT_EQ(machine_.platform().shares().Add(share), kSuccess);
  ShareInfo read;
  ASSERT_EQ(machine_.platform().shares().GetInfo(Ansi("申請"), &read), kSuccess);
  EXPECT_EQ(read.path, folder);
  EXPECT_EQ(read.remark, Ansi("ソフト"));
  std::ifstream shares(machine_.folder() + "/shares.json");
  std::stringstream shares_text;
  shares_text << shares.rdbuf();
  EXPECT_NE(shares_text.str().find("\"申請\""), std::string::npos) << shares_text.str();

  Registry& registry = machine_.platform().registry();
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(registry.CreateKey(Hive::kCurrentUser, "Software\\" + Ansi("表示"),
                               kKeyWrite | kKeyRead, &key, nullptr),
            kSuccess);
  const std::string text = Ansi("十能") + '\0';
  ASSERT_EQ(key->SetValue(Ansi("ソフト"), kRegSz, std::vector<uint8_t>(text.begin(), text.end())),
            kSuccess);
  uint32_t type = 0;
  std::vector<uint8_t> data;
  ASSERT_EQ(key->QueryValue(Ansi("ソフト"), 5, &type, &data), kSuccess)
      << "the buffer is measured in the program's bytes";
  EXPECT_EQ(std::string(data.begin(), data.end()), text);
  std::unique_ptr<RegistryKey> software;
  ASSERT_EQ(registry.OpenKey(Hive::kCurrentUser, "SOFTWARE", kKeyRead, &software), kSuccess);
  std::string name;
  ASSERT_EQ(software->EnumSubKey(0, &name), kSuccess);
  EXPECT_EQ(name, Ansi("表示"));
  std::ifstream hive(machine_.folder() + "/registry/HKCU.reg");
  std::stringstream hive_text;
  hive_text << hive.rdbuf();
  EXPECT_NE(hive_text.str().find("[HKEY_CURRENT_USER\\Software\\表示]"), std::string::npos)
      << hive_text.str();
  EXPECT_NE(hive_text.str().find("\"ソフト\"=\"十能\""), std::string::npos) << hive_text.str();
}

}  // namespace
}  // namespace qdw::platform
