#include "platform/windows_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page_text.h"
#include "platform/keepable_names.h"
#include "platform/process_code_page.h"
#include "platform/text_lines.h"

namespace qdw::platform {
namespace {

TEST(WindowsPathTest, CaseFoldingCoversCodePage1252Letters) {
  EXPECT_EQ(UpperAnsi("c:\\users\\jo\\caf\xe9"), "C:\\USERS\\JO\\CAF\xc9");
  EXPECT_EQ(LowerAnsi("\xc0\xde\x8a"), "\xe0\xfe\x9a");
  // The multiplication and division signs are not letters.
  EXPECT_EQ(UpperAnsi("\xf7"), "\xf7");
  EXPECT_TRUE(EqualsIgnoreCase("C:\\Program Files", "c:\\PROGRAM FILES"));
  EXPECT_FALSE(EqualsIgnoreCase("C:\\a", "C:\\a\\"));
  EXPECT_TRUE(ContainsIgnoreCase("D:\\Backup\\WINDOWS\\x", "\\windows\\"));
  EXPECT_TRUE(StartsWithIgnoreCase("C:\\Users\\Jo\\Box", "c:\\users\\jo"));
}

TEST(WindowsPathTest, JoinAndSplitKeepBackslashRules) {
  EXPECT_EQ(JoinPath("C:\\", "a"), "C:\\a");
  EXPECT_EQ(JoinPath("C:\\a", "b.txt"), "C:\\a\\b.txt");
  EXPECT_EQ(StripTrailingSeparator("C:\\"), "C:");
  EXPECT_EQ(StripTrailingSeparator("C:\\a"), "C:\\a");
  EXPECT_EQ(FileNamePart("C:\\a\\b.qdw"), "b.qdw");
  EXPECT_EQ(FolderPart("C:\\a\\b.qdw"), "C:\\a");
  EXPECT_EQ(FolderPart("b.qdw"), "");
  EXPECT_TRUE(IsBareDrive("d:"));
  EXPECT_FALSE(IsBareDrive("d:\\"));

  std::string drive, dir, name, ext;
  SplitPath("D:\\Backup\\Set.v1.qdw", &drive, &dir, &name, &ext);
  EXPECT_EQ(drive, "D:");
  EXPECT_EQ(dir, "\\Backup\\");
  EXPECT_EQ(name, "Set.v1");
  EXPECT_EQ(ext, ".qdw");
  SplitPath("Set", &drive, &dir, &name, &ext);
  EXPECT_EQ(drive + dir + ext, "");
  EXPECT_EQ(name, "Set");
}

TEST(WindowsPathTest, ContainmentEndsAtAFolderBoundary) {
  EXPECT_TRUE(IsAtOrBelow("C:\\Users\\jo", "c:\\users\\JO"));
  EXPECT_TRUE(IsAtOrBelow("C:\\Users\\jo\\Box", "C:\\Users\\jo"));
  EXPECT_TRUE(IsAtOrBelow("C:\\Users\\jo\\", "C:\\Users\\jo"));
  EXPECT_TRUE(IsAtOrBelow("C:\\a", "C:\\"));
  EXPECT_FALSE(IsAtOrBelow("C:\\Users\\joe", "C:\\Users\\jo"));
  EXPECT_FALSE(IsAtOrBelow("C:\\Users", "C:\\Users\\jo"));
  EXPECT_FALSE(IsAtOrBelow("C:\\a", ""));
}

TEST(WindowsPathTest, LinesDifferOnlyInThePieceAfterAFinalBreak) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines("NT\r\na,b\n"), (Lines{"NT", "a,b"}));
  EXPECT_EQ(SplitLinesKeepingLastPiece("NT\r\na,b\n"), (Lines{"NT", "a,b", ""}));
  EXPECT_EQ(SplitLines("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLinesKeepingLastPiece("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLinesKeepingLastPiece(""), (Lines{""}));
}

TEST(WindowsPathTest, SafeRelativeNamesStayInsideTheirFolder) {
  EXPECT_TRUE(IsSafeRelativeName("VARNOLD\\QDW\\a b\\x.pdf"));
  EXPECT_TRUE(IsSafeRelativeName("..name"));
  EXPECT_FALSE(IsSafeRelativeName(""));
  EXPECT_FALSE(IsSafeRelativeName("\\Windows\\x"));
  EXPECT_FALSE(IsSafeRelativeName("/etc/passwd"));
  EXPECT_FALSE(IsSafeRelativeName("C:\\x"));
  EXPECT_FALSE(IsSafeRelativeName("a\\..\\..\\x"));
  EXPECT_FALSE(IsSafeRelativeName("a/../x"));
  EXPECT_FALSE(IsSafeRelativeName("a\\\\x"));
  EXPECT_FALSE(IsSafeRelativeName("a\\.\\x"));
}

TEST(WindowsPathTest, WildcardsMatchLikeFindFirstFile) {
  EXPECT_TRUE(WildcardMatch("*.*", "noext"));
  EXPECT_TRUE(WildcardMatch("*", "a.b"));
  EXPECT_TRUE(WildcardMatch("inv1.*", "INV1.pdf"));
  EXPECT_TRUE(WildcardMatch("inv1.*", "inv1"));
  EXPECT_FALSE(WildcardMatch("inv1.*", "inv10.pdf"));
  EXPECT_TRUE(WildcardMatch("a?c", "abc"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*\\QDW\\*.pdf", "C:\\R\\VARNOLD\\qdw\\x\\y.PDF"));
}

TEST(WindowsPathTest, NamesWindowsCannotKeepAreRefused) {
  const std::vector<std::string> devices = {"CON",    "con",       "Nul.txt", "aux.tar.gz",
                                            "COM1",   "lpt9.log",  "CONIN$",  "conout$.x",
                                            "PRN .x", "com1 .txt", "COM\xB9"};
  const std::vector<std::string> others = {"a.", "a ", "..",  ".",   "a|b",  "a\"b",
                                           "a*", "a?", "<a>", "a:b", "tab\t"};
  for (const std::string& name : devices) EXPECT_TRUE(IsDeviceName(name)) << name;
  std::vector<std::string> refused = devices;
  refused.insert(refused.end(), others.begin(), others.end());
  for (const std::string& name : refused) {
    EXPECT_FALSE(WindowsCanKeepName(name)) << name;
    EXPECT_FALSE(IsSafeRelativeName("Box\\" + name)) << name;
  }
  for (const char* name :
       {"COM10", "LPT", "CONSOLE", "nul-x", "xcon", ".con", "a.b", "..a", "CON_1.txt", "caf\xE9"}) {
    EXPECT_TRUE(WindowsCanKeepName(name)) << name;
  }
  ScopedProcessCodePage japanese(kAnsiCodePageJapanese);
  EXPECT_TRUE(IsDeviceName("com1.txt"));
  EXPECT_FALSE(IsDeviceName("COM\xB9")) << "a half-width katakana in code page 932";
}

}  // namespace
}  // namespace qdw::platform
