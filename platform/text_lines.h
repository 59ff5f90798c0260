// Splitting a text into lines at "\n", each without its line break and without a "\r" before
// it. The two forms differ only in the empty piece after a final line break.
#ifndef QDW_PLATFORM_TEXT_LINES_H_
#define QDW_PLATFORM_TEXT_LINES_H_

#include <string>
#include <vector>

namespace qdw::platform {

// The lines as an editor shows them: a text that ends with a line break has no empty line
// after it, and an empty text has no lines.
std::vector<std::string> SplitLines(const std::string& text);

// Every piece between line breaks, the empty one after a final line break included; an empty
// text is one empty line. For formats where that last piece is read as a line of its own.
std::vector<std::string> SplitLinesKeepingLastPiece(const std::string& text);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_TEXT_LINES_H_
