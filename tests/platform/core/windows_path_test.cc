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

// Every ASCII byte inside, and at either end of, a name, in both code pages: a byte refused
// or let through wrongly by the ASCII shortcut shows here.
TEST(WindowsPathTest, EveryAsciiByteIsJudgedAlikeInBothCodePages) {
  const std::string forbidden = "<>:\"/\\|?*";
  for (int code_page : {kAnsiCodePageWestern, kAnsiCodePageJapanese}) {
    ScopedProcessCodePage scoped(code_page);
    for (int byte = 0; byte < 0x80; ++byte) {
      const char c = static_cast<char>(byte);
      const bool keepable = byte >= 0x20 && forbidden.find(c) == std::string::npos;
      const bool at_end_keepable = keepable && c != '.' && c != ' ';
      EXPECT_EQ(WindowsCanKeepName(std::string("a") + c + "b"), keepable)
          << code_page << ' ' << byte;
      EXPECT_EQ(WindowsCanKeepName(std::string(1, c) + "ab"), keepable) << code_page << ' ' << byte;
      EXPECT_EQ(WindowsCanKeepName(std::string("ab") + c), at_end_keepable)
          << code_page << ' ' << byte;
      // The same byte beside a non-ASCII character takes the walk by characters.
      EXPECT_EQ(WindowsCanKeepName(std::string("\xB6") + c + "b"), keepable)
          << code_page << ' ' << byte;
    }
  }
}

// Japanese names whose second bytes are 0x5C ("\\") or ASCII letters: 表示, ソフト, 十能.
TEST(WindowsPathTest, JapaneseCodePageWalksCharactersNotBytes) {
  ScopedProcessCodePage japanese(kAnsiCodePageJapanese);
  const std::string display = "\x95\x5C\x8E\xA6";
  const std::string soft = "\x83\x5C\x83\x74\x83\x67";
  const std::string skill = "\x8F\x5C\x94\x5C";
  const std::string path = "C:\\" + display + "\\" + skill;
  EXPECT_EQ(FileNamePart(path), skill);
  EXPECT_EQ(FolderPart(path), "C:\\" + display);
  EXPECT_FALSE(EndsWithSeparator(path));
  EXPECT_EQ(JoinPath(path, "a"), path + "\\a");
  EXPECT_EQ(StripTrailingSeparator(skill), skill);
  EXPECT_EQ(FindSeparator(display), std::string::npos);
  std::string drive, dir, name, extension;
  SplitPath(path + "\\" + soft + ".txt", &drive, &dir, &name, &extension);
  EXPECT_EQ(dir, "\\" + display + "\\" + skill + "\\");
  EXPECT_EQ(name, soft);
  // Case folding leaves two-byte characters alone: "t" and "g" of ソフト are trail bytes.
  EXPECT_EQ(UpperAnsi("a" + soft), "A" + soft);
  EXPECT_FALSE(EqualsIgnoreCase(soft, "\x83\x5C\x83\x54\x83\x47"));
  EXPECT_TRUE(EqualsIgnoreCase("c:\\" + soft, "C:\\" + soft));
  // A trail byte 0x5C starts no "\\VARNOLD", ends no folder and is no forbidden character.
  EXPECT_FALSE(ContainsIgnoreCase(std::string("\x95\x5C") + "VARNOLD", "\\varnold"));
  EXPECT_TRUE(ContainsIgnoreCase("C:\\" + display + "\\VARNOLD", "\\varnold"));
  EXPECT_FALSE(IsAtOrBelow("C:\\" + skill, "C:\\\x8F"));
  EXPECT_FALSE(StartsWithIgnoreCase(display, "\x95"));
  EXPECT_FALSE(EndsWithIgnoreCase(skill, "\\"));
  EXPECT_TRUE(IsSafeRelativeName(display + "\\" + soft + "\\" + skill + ".txt"));
  EXPECT_TRUE(WindowsCanKeepName("\x95\x7C"));  // 表 with "|" as its trail byte: 肺
  EXPECT_TRUE(WildcardMatch("?X.TXT", "\x95\\x.txt"));
  EXPECT_FALSE(WildcardMatch("??x.txt", "\x95\\x.txt"));
  // In code page 1252 the same bytes are two characters and a separator.
  SetProcessCodePage(kAnsiCodePageWestern);
  EXPECT_EQ(FileNamePart(path), "");
  EXPECT_TRUE(EndsWithSeparator(path));
}

}  // namespace
}  // namespace qdw::platform
