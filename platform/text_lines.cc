#include "platform/text_lines.h"

namespace qdw::platform {

namespace {

// A line break is the byte "\n" in every ANSI code page, so the split walks bytes.
std::vector<std::string> Split(const std::string& text, bool keep_last_piece) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size() || (keep_last_piece && start == text.size())) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text) { return Split(text, false); }

std::vector<std::string> SplitLinesKeepingLastPiece(const std::string& text) {
  return Split(text, true);
}

}  // namespace qdw::platform
