// The Japanese ANSI code page (932) as a table generated at build time
// (tools/make_cp932_table.py).
#ifndef QDW_PLATFORM_RESOURCES_CODE_PAGE_932_TABLE_H_
#define QDW_PLATFORM_RESOURCES_CODE_PAGE_932_TABLE_H_

#include <cstdint>

namespace qdw::resources {

struct CodePage932Entry {
  char16_t character;
  // One byte (below 0x100) or a lead byte and a trail byte (high and low byte).
  uint16_t bytes;
};

// Every character the code page holds, sorted by character. Functions rather than exported
// arrays, so that a program and a shared library that both link the table keep their own copies
// without clashing.
const CodePage932Entry* CodePage932Table();
int CodePage932TableSize();

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_CODE_PAGE_932_TABLE_H_
