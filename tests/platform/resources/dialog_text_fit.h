// Estimates whether a text fits its control in a dialog template, in dialog units of the
// templates' font, MS Shell Dlg 8. Deliberately conservative: a text that passes here fits on
// the screen with room to spare.
#ifndef QDW_TESTS_PLATFORM_RESOURCES_DIALOG_TEXT_FIT_H_
#define QDW_TESTS_PLATFORM_RESOURCES_DIALOG_TEXT_FIT_H_

#include <string>

#include "platform/resources/code_page.h"
#include "platform/resources/dialog_template.h"

namespace qdw::resources::testing {

// Height in dialog units of one line of text.
inline constexpr int kLineHeight = 8;

// Width of a single line of text in dialog units (rounded up). With `prefix`, "&" marks the
// next character as the keyboard shortcut and is not drawn ("&&" draws one "&"). The text is in
// `code_page`; a two-byte character of code page 932 counts as one full-width character.
int TextWidth(const std::string& text, bool prefix, int code_page = kCodePageWestern);

// Lines the text takes when wrapped at word boundaries into `width` dialog units, honouring
// line breaks; -1 when a single word is wider than `width` and would be cut. Japanese text also
// breaks before and after each full-width character.
int WrappedLines(const std::string& text, int width, bool prefix, int code_page = kCodePageWestern);

// Whether `text` fits `control` as the system would draw it there (push buttons, radio buttons
// and check boxes on one line, statics wrapped unless their style says not to). False with a
// description of the overflow otherwise.
bool TextFitsControl(const DialogControl& control, const std::string& text, std::string* why,
                     int code_page = kCodePageWestern);

}  // namespace qdw::resources::testing

#endif  // QDW_TESTS_PLATFORM_RESOURCES_DIALOG_TEXT_FIT_H_
