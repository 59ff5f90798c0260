#include "tests/platform/resources/dialog_text_fit.h"

#include <cstring>
#include <sstream>
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
std::string Drawn(const std::string& text, bool prefix) {
  if (!prefix) return text;
  std::string drawn;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    drawn.push_back(text[i]);
  }
  return drawn;
}

int PixelWidth(const std::string& drawn) {
  int pixels = 0;
  for (unsigned char c : drawn)
    pixels += (c >= 0x20 && c < 0x7F) ? kPixelWidths[c - 0x20] : kWidestPixels;
  return pixels;
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

int TextWidth(const std::string& text, bool prefix) {
  return ToDialogUnits(PixelWidth(Drawn(text, prefix)));
}

int WrappedLines(const std::string& text, int width, bool prefix) {
  int total = 0;
  for (const std::string& paragraph : SplitLines(Drawn(text, prefix))) {
    std::istringstream words(paragraph);
    std::string line;
    int lines = 1;
    for (std::string word; words >> word;) {
      if (ToDialogUnits(PixelWidth(word)) > width) return -1;
      const std::string longer = line.empty() ? word : line + " " + word;
      if (ToDialogUnits(PixelWidth(longer)) <= width) {
        line = longer;
      } else {
        ++lines;
        line = word;
      }
    }
    total += lines;
  }
  return total;
}

bool TextFitsControl(const DialogControl& control, const std::string& text, std::string* why) {
  std::ostringstream problem;
  if (control.class_name == "Button") {
    const uint32_t type = control.style & kButtonTypeMask;
    int margin = kCheckMarkWidth;
    if (type <= 1) margin = kPushButtonMargin;
    if (type == 7) margin = kGroupBoxMargin;
    const int room = control.cx - margin;
    if (control.style & kButtonMultiline) {
      const int lines = WrappedLines(text, room, true);
      if (lines >= 0 && lines * kLineHeight <= control.cy) return true;
      problem << "needs " << lines << " lines of " << room << " units, has height " << control.cy;
    } else {
      const int width = TextWidth(text, true);
      if (width <= room) return true;
      problem << "is " << width << " units wide, room for " << room;
    }
  } else if (control.class_name == "Static") {
    const uint32_t type = control.style & kStaticTypeMask;
    const bool prefix = (control.style & kStaticNoPrefix) == 0;
    if (type == kStaticLeftNoWordWrap || type == kStaticSimple) {
      const int width = TextWidth(text, prefix);
      if (width <= control.cx) return true;
      problem << "is " << width << " units wide, room for " << control.cx;
    } else if (type <= 2) {
      const int lines = WrappedLines(text, control.cx, prefix);
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
