// `CCustomMessageBox`: a question box whose message and button captions the caller chooses.
// DoModal gives platform::kIdOk (1) or kIdCancel (2).
#ifndef QDW_APP_CUSTOM_MESSAGE_BOX_H_
#define QDW_APP_CUSTOM_MESSAGE_BOX_H_

#include <string>

#include "app/framework/dialog.h"

namespace qdw::app {

class CCustomMessageBox : public ui::Dialog {
 public:
  explicit CCustomMessageBox(ui::UiContext& ui);

  std::string message;
  std::string ok_caption;
  std::string cancel_caption;

 protected:
  bool OnInitDialog() override;
};

// The box of the about command: a plain dialog with no handlers of its own.
class CAboutDlg : public ui::Dialog {
 public:
  explicit CAboutDlg(ui::UiContext& ui);
};

}  // namespace qdw::app

#endif  // QDW_APP_CUSTOM_MESSAGE_BOX_H_
