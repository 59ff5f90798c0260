#include <gtest/gtest.h>

#include "cabinet/cab_names.h"

namespace qdw::cab {
namespace {

TEST(CabNameIsSafeRelativeTest, AcceptsPlainRelativeNames) {
  for (const char* name : {"a.txt", "VARNOLD\\QDW\\doc 1.pdf", "d/e/f", "caf\xE9.txt", "..hidden",
                           "a..b\\c", "x\\.y"}) {
    EXPECT_TRUE(CabNameIsSafeRelative(name)) << name;
  }
}

TEST(CabNameIsSafeRelativeTest, RefusesNamesThatLeaveTheDestination) {
  for (const char* name : {"", "\\a.txt", "/etc/passwd", "C:\\x", "c:x", "..\\x", "a\\..\\..\\x",
                           "a/../x", "..", "a\\..", ".\\a", "a\\\\b", "a\\", "a\\. .\\b",
                           "a\\...\\b", "\\\\server\\share\\x", "file.txt:stream",
                           "a\x01"
                           "b"}) {
    EXPECT_FALSE(CabNameIsSafeRelative(name)) << name;
  }
  EXPECT_FALSE(CabNameIsSafeRelative(nullptr));
}

TEST(CabNameIsSafeRelativeTest, RefusesNamesWindowsCannotKeep) {
  for (const char* name : {"CON", "a\\nul.txt", "Com1\\x", "a\\LPT9.log", "a.\\b", "a \\b", "a\\b.",
                           "a\\b ", "a|b", "a\\*.txt"}) {
    EXPECT_FALSE(CabNameIsSafeRelative(name)) << name;
  }
}

}  // namespace
}  // namespace qdw::cab
