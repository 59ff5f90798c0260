// Deterministic test content for the cabinet tests; plain C++, so the Windows build shares it.
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
    static const char* const kWords[] = {"archive ", "folder ",  "document ",  "quillon ",
                                         "share ",   "restore ", "backup\r\n", "volume ",
                                         "Deskora ", "index ",   "1234 ",      "permission "};
    size_t pos = 0;
    while (pos < size) {
      const char* word = kWords[random() % 12];
      for (const char* p = word; *p && pos < size; ++p) bytes[pos++] = *p;
    }
  }
  return bytes;
}

}  // namespace qdw::cab::testing
