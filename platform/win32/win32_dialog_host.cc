#include "platform/win32/win32_dialog_host.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include "platform/win32/win32_dialog_window.h"
#include "platform/win32/win32_modal_dialog.h"
#include "platform/win32/win32_shell_dialogs.h"

namespace qdw::win32 {
namespace {

// The file the program loads its dialogs, texts, icon and animation from.
constexpr char kResourceModuleName[] = "Lingvault.dll";

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

HWND HandleOf(platform::DialogWindow* window) {
  auto* dialog = dynamic_cast<Win32DialogWindow*>(window);
  return dialog != nullptr ? dialog->handle() : InnermostDialog();
}

class Win32DialogHost : public platform::DialogHost {
 public:
  explicit Win32DialogHost(platform::DialogDriver* driver) : driver_(driver) {
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof(classes);
    classes.dwICC =
        ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&classes);
  }

  void SetResourceModule(const platform::Library* module) override {
    // The port's Library does not hand out its module handle; the module the program loaded
    // under this name is the one the Library holds.
    module_ = module == nullptr ? nullptr : GetModuleHandleA(kResourceModuleName);
    if (module_ == nullptr) module_ = GetModuleHandleA(nullptr);
  }

  int RunModal(uint16_t template_id, platform::DialogHandler& handler,
               platform::DialogWindow* owner) override {
    HINSTANCE module = module_ != nullptr ? module_ : GetModuleHandleA(nullptr);
    return RunModalDialog(module, template_id, handler, HandleOf(owner), driver_);
  }

  int ShowMessageBox(platform::DialogWindow* owner,
                     const platform::MessageBoxRequest& request) override {
    if (driver_ != nullptr) return driver_->AnswerMessageBox(request);
    const int answer = MessageBoxA(HandleOf(owner), request.text.c_str(), request.caption.c_str(),
                                   StyleOf(request) | MB_SETFOREGROUND);
    return answer == IDYES ? platform::kIdYes : answer == IDNO ? platform::kIdNo : platform::kIdOk;
  }

  platform::BrowseResult BrowseForFolder(platform::DialogWindow* owner, const std::string& title,
                                         std::string* path) override {
    if (driver_ != nullptr) return driver_->AnswerFolderBrowser(title, path);
    return ShowFolderBrowser(HandleOf(owner), title, path);
  }

  bool OpenFileDialog(platform::DialogWindow* owner, const platform::FileOpenRequest& request,
                      std::string* path) override {
    if (driver_ != nullptr) return driver_->AnswerFileOpen(request, path);
    return ShowFileOpenDialog(HandleOf(owner), request, path);
  }

  void BeginWaitCursor() override {
    if (wait_depth_++ == 0) previous_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  }

  void EndWaitCursor() override {
    if (wait_depth_ > 0 && --wait_depth_ == 0) SetCursor(previous_);
  }

 private:
  platform::DialogDriver* driver_;
  HINSTANCE module_ = nullptr;
  int wait_depth_ = 0;
  HCURSOR previous_ = nullptr;
};

}  // namespace

std::unique_ptr<platform::DialogHost> NewWin32DialogHost(platform::DialogDriver* driver) {
  return std::make_unique<Win32DialogHost>(driver);
}

}  // namespace qdw::win32
