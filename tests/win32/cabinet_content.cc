// Test content for the engine's codec cases on Windows, where the scratch-tree helpers of the
// Linux suite (POSIX folders and processes) do not build: only the content maker is needed.
#include <random>
#include <string>

#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {

std::string MakeContent(Content kind, size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  std::mt19937 random(seed);
  if (kind == Content::kRandom) {
    for (char& c : bytes) c = static_cast<char>(random());
  } else if (kind == Content::kText) {
    static const char* const kWords[] = {"archive ", "folder ", "document ", "backup\r\n",
                                         "volume ",  "index ",  "1234 ",     "share "};
    size_t pos = 0;
    while (pos < size) {
      for (const char* p = kWords[random() % 8]; *p && pos < size; ++p) bytes[pos++] = *p;
    }
  }
  return bytes;
}

}  // namespace qdw::cab::testing
