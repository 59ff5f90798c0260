// The readable record of a headless run: every dialog opened, every message box, every
// scripted action and the final state of each dialog.
#ifndef QDW_APP_HEADLESS_TRANSCRIPT_H_
#define QDW_APP_HEADLESS_TRANSCRIPT_H_

#include <ostream>
#include <string>

namespace qdw::headless {

// `text` on one line: line breaks and tabs written as \n, \r and \t, everything else as is
// (paths keep their backslashes). Scripts compare control texts in this form.
std::string OneLine(const std::string& text);
// OneLine(text) in double quotes.
std::string Quote(const std::string& text);

class Transcript {
 public:
  // `out` may be null: nothing is written.
  explicit Transcript(std::ostream* out) : out_(out) {}
  void Line(const std::string& line);
  void Block(const std::string& text);

 private:
  std::ostream* out_;
};

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_TRANSCRIPT_H_
