#include "tests/platform/resources/dialog_text_fit.h"

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace qdw::resources::testing {
namespace {

// Advance widths in pixels of the characters of MS Shell Dlg 8 (Tahoma 8 at 96 dots per inch,
// each rounded up), printable ASCII from the blank on; anything else counts as the widest.
constexpr int kPixelWidths[95] = {
    3,  4, 5, 8, 6, 11, 7, 3,  4, 4, 6, 8, 3, 4, 3, 4,  //  !"#$%&'()*+,-./
    6,  6, 6, 6, 6, 6,  6, 6,  6, 6, 4, 4, 8, 8, 8, 5,  // 0-9 :;<=>?
    10, 7, 7, 7, 8, 7,  6, 8,  8, 4, 5, 7, 6, 9, 8, 8,  // @A-O
    7,  8, 7, 7, 7, 8,  7, 11, 7, 7, 7, 4, 4, 4, 8, 6,  // P-Z [\]^_
    4,  6, 6, 5, 6, 6,  4, 6,  6, 3, 3, 6, 3, 9, 6, 6,  // `a-o
    6,  6, 4, 5, 4, 6,  6, 8,  6, 6, 5, 5, 4, 5, 8};    // p-z {|}~
constexpr int kWidestPixels = 11;
// A full-width (two-byte) character of code page 932 in the Japanese dialog font, and a
// half-width katakana.
constexpr int kFullWidthPixels = 12;
constexpr int kHalfWidthKanaPixels = 6;
// Horizontal dialog unit: a quarter of the font's average character width (6 pixels). A tenth
// more for font rendering differences between systems.
constexpr double kDialogUnitsPerPixel = 4.0 / 6.0 * 1.1;

// Room the control itself takes beside its text, in dialog units.
constexpr int kPushButtonMargin = 8;
constexpr int kCheckMarkWidth = 14;
constexpr int kGroupBoxMargin = 12;

constexpr uint32_t kButtonTypeMask = 0xF;
constexpr uint32_t kButtonMultiline = 0x2000;
constexpr uint32_t kStaticTypeMask = 0x1F;
constexpr uint32_t kStaticNoPrefix = 0x80;
constexpr uint32_t kStaticLeftNoWordWrap = 0xC;
constexpr uint32_t kStaticSimple = 0xB;

// The characters that are drawn, with shortcut markers removed.
bool IsLead(const std::string& text, size_t i, int code_page) {
  return code_page == kCodePageJapanese && i + 1 < text.size() &&
         IsJapaneseLeadByte(static_cast<unsigned char>(text[i]));
}

std::string Drawn(const std::string& text, bool prefix, int code_page) {
  if (!prefix) return text;
  std::string drawn;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLead(text, i, code_page)) {
      drawn.append(text, i, 2);
      ++i;
      continue;
    }
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    drawn.push_back(text[i]);
  }
  return drawn;
}

int PixelWidth(const std::string& drawn, int code_page) {
  int pixels = 0;
  for (size_t i = 0; i < drawn.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(drawn[i]);
    if (IsLead(drawn, i, code_page)) {
      pixels += kFullWidthPixels;
      ++i;
    } else if (c >= 0x20 && c < 0x7F) {
      pixels += kPixelWidths[c - 0x20];
    } else if (code_page == kCodePageJapanese && c >= 0xA1 && c <= 0xDF) {
      pixels += kHalfWidthKanaPixels;
    } else {
      pixels += kWidestPixels;
    }
  }
  return pixels;
}

// The pieces a line may break between: words at blanks, and in Japanese text also every
// full-width character, which needs no blank to break before or after it.
struct Piece {
  std::string text;
  bool blank_before;
};

std::vector<Piece> Pieces(const std::string& paragraph, int code_page) {
  std::vector<Piece> pieces;
  bool blank = false;
  bool joinable = false;  // whether the next character continues the last piece
  for (size_t i = 0; i < paragraph.size(); ++i) {
    if (paragraph[i] == ' ') {
      blank = !pieces.empty();
      joinable = false;
      continue;
    }
    if (IsLead(paragraph, i, code_page)) {
      pieces.push_back({paragraph.substr(i, 2), blank});
      ++i;
      joinable = false;
    } else if (joinable) {
      pieces.back().text.push_back(paragraph[i]);
    } else {
      pieces.push_back({std::string(1, paragraph[i]), blank});
      joinable = true;
    }
    blank = false;
  }
  return pieces;
}

int ToDialogUnits(int pixels) {
  const double units = pixels * kDialogUnitsPerPixel;
  const int whole = static_cast<int>(units);
  return whole < units ? whole + 1 : whole;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  lines.push_back(line);
  return lines;
}

}  // namespace

int TextWidth(const std::string& text, bool prefix, int code_page) {
  return ToDialogUnits(PixelWidth(Drawn(text, prefix, code_page), code_page));
}

int WrappedLines(const std::string& text, int width, bool prefix, int code_page) {
  int total = 0;
  for (const std::string& paragraph : SplitLines(Drawn(text, prefix, code_page))) {
    std::string line;
    int lines = 1;
    for (const Piece& piece : Pieces(paragraph, code_page)) {
      if (ToDialogUnits(PixelWidth(piece.text, code_page)) > width) return -1;
      const std::string longer =
          line.empty() ? piece.text : line + (piece.blank_before ? " " : "") + piece.text;
      if (ToDialogUnits(PixelWidth(longer, code_page)) <= width) {
        line = longer;
      } else {
        ++lines;
        line = piece.text;
      }
    }
    total += lines;
  }
  return total;
}

bool TextFitsControl(const DialogControl& control, const std::string& text, std::string* why,
                     int code_page) {
  std::ostringstream problem;
  if (control.class_name == "Button") {
    const uint32_t type = control.style & kButtonTypeMask;
    int margin = kCheckMarkWidth;
    if (type <= 1) margin = kPushButtonMargin;
    if (type == 7) margin = kGroupBoxMargin;
    const int room = control.cx - margin;
    if (control.style & kButtonMultiline) {
      const int lines = WrappedLines(text, room, true, code_page);
      if (lines >= 0 && lines * kLineHeight <= control.cy) return true;
      problem << "needs " << lines << " lines of " << room << " units, has height " << control.cy;
    } else {
      const int width = TextWidth(text, true, code_page);
      if (width <= room) return true;
      problem << "is " << width << " units wide, room for " << room;
    }
  } else if (control.class_name == "Static") {
    const uint32_t type = control.style & kStaticTypeMask;
    const bool prefix = (control.style & kStaticNoPrefix) == 0;
    if (type == kStaticLeftNoWordWrap || type == kStaticSimple) {
      const int width = TextWidth(text, prefix, code_page);
      if (width <= control.cx) return true;
      problem << "is " << width << " units wide, room for " << control.cx;
    } else if (type <= 2) {
      const int lines = WrappedLines(text, control.cx, prefix, code_page);
      if (lines >= 0 && lines * kLineHeight <= control.cy) return true;
      problem << "needs " << lines << " lines of " << control.cx << " units, room for "
              << control.cy / kLineHeight;
    } else {
      problem << "is a static of a kind that shows no text";
    }
  } else {
    return true;  // edits, lists and the like scroll their text
  }
  *why = "\"" + text + "\" " + problem.str();
  return false;
}

}  // namespace qdw::resources::testing
