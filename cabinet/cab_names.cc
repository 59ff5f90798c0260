#include "cabinet/cab_names.h"

namespace qdw::cab {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A component made only of dots and blanks names the folder itself or its parent once Windows
// has trimmed it.
bool IsDotsAndBlanks(const char* begin, const char* end) {
  for (const char* p = begin; p < end; ++p) {
    if (*p != '.' && *p != ' ') return false;
  }
  return true;
}

}  // namespace

bool CabNameIsSafeRelative(const char* name) {
  if (name == nullptr || name[0] == 0) return false;
  const char* component = name;
  for (const char* p = name;; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == 0 || IsSeparator(*p)) {
      if (p == component || IsDotsAndBlanks(component, p)) return false;
      if (c == 0) return true;
      component = p + 1;
    } else if (c < 0x20 || c == ':') {
      return false;
    }
  }
}

}  // namespace qdw::cab
