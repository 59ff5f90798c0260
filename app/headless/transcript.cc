#include "app/headless/transcript.h"

namespace qdw::headless {

std::string OneLine(const std::string& text) {
  std::string quoted;
  for (char c : text) {
    switch (c) {
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        quoted += c;
    }
  }
  return quoted;
}

std::string Quote(const std::string& text) { return "\"" + OneLine(text) + "\""; }

void Transcript::Line(const std::string& line) {
  if (out_ == nullptr) return;
  *out_ << line << '\n';
  out_->flush();
}

void Transcript::Block(const std::string& text) {
  if (out_ == nullptr) return;
  *out_ << text;
  out_->flush();
}

}  // namespace qdw::headless
