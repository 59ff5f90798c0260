#include "platform/win32/win32_dialog_host.h"

#include <windows.h>

namespace qdw::win32 {
namespace {

UINT StyleOf(const platform::MessageBoxRequest& request) {
  UINT style = request.buttons == platform::MessageBoxButtons::kYesNo ? MB_YESNO : MB_OK;
  switch (request.icon) {
    case platform::MessageBoxIcon::kInformation:
      return style | MB_ICONINFORMATION;
    case platform::MessageBoxIcon::kQuestion:
      return style | MB_ICONQUESTION;
    case platform::MessageBoxIcon::kWarning:
      return style | MB_ICONWARNING;
    case platform::MessageBoxIcon::kStop:
      return style | MB_ICONSTOP;
    case platform::MessageBoxIcon::kNone:
      break;
  }
  return style;
}

class TemplatelessDialogHost : public platform::DialogHost {
 public:
  void SetResourceModule(const platform::Library* module) override { module_ = module; }

  int RunModal(uint16_t template_id, platform::DialogHandler&, platform::DialogWindow*) override {
    if (!told_) {
      told_ = true;
      char text[160];
      wsprintfA(text, "This build cannot show its dialogs yet (dialog %u).", template_id);
      MessageBoxA(nullptr, text, "Backup", MB_OK | MB_ICONSTOP);
    }
    return platform::kModalFailed;
  }

  int ShowMessageBox(platform::DialogWindow*, const platform::MessageBoxRequest& request) override {
    // Texts that start with a resource string are completed by the caller; show what we have.
    int answer =
        MessageBoxA(nullptr, request.text.c_str(), request.caption.c_str(), StyleOf(request));
    return answer == IDYES ? platform::kIdYes : answer == IDNO ? platform::kIdNo : platform::kIdOk;
  }

  platform::BrowseResult BrowseForFolder(platform::DialogWindow*, const std::string&,
                                         std::string*) override {
    return platform::BrowseResult::kCancelled;
  }

  bool OpenFileDialog(platform::DialogWindow*, const platform::FileOpenRequest&,
                      std::string*) override {
    return false;
  }

  void BeginWaitCursor() override {
    if (wait_depth_++ == 0) previous_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  }

  void EndWaitCursor() override {
    if (wait_depth_ > 0 && --wait_depth_ == 0) SetCursor(previous_);
  }

 private:
  const platform::Library* module_ = nullptr;
  bool told_ = false;
  int wait_depth_ = 0;
  HCURSOR previous_ = nullptr;
};

}  // namespace

std::unique_ptr<platform::DialogHost> NewWin32DialogHost() {
  return std::make_unique<TemplatelessDialogHost>();
}

}  // namespace qdw::win32
