// The shell and the system folders.
#include <windows.h>
// After <windows.h>, which the shell headers need.
#include <imagehlp.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_process_handle.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

std::string WithoutTrailingBackslash(std::string path) {
  // A drive root keeps its backslash ("C:\").
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

class Win32Shell : public platform::Shell {
 public:
  WinError SpecialFolder(int csidl, std::string* path) override {
    char buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
      return platform::kErrorFileNotFound;
    }
    *path = WithoutTrailingBackslash(buffer);
    return platform::kSuccess;
  }

  WinError WindowsFolder(std::string* path) override {
    char buffer[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) return platform::kErrorFileNotFound;
    *path = WithoutTrailingBackslash(buffer);
    return platform::kSuccess;
  }

  WinError SystemFolder(std::string* path) override {
    char buffer[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) return platform::kErrorFileNotFound;
    *path = WithoutTrailingBackslash(buffer);
    return platform::kSuccess;
  }

  std::string ExpandEnvironment(const std::string& text) override {
    DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::vector<char> buffer(size);
    DWORD length = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), size);
    if (length == 0 || length > size) return text;
    return std::string(buffer.data());
  }

  WinError Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                   int show, std::unique_ptr<platform::ProcessHandle>* process) override {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = show;
    if (!ShellExecuteExA(&info)) {
      WinError error = GetLastError();
      // No program for the file counts as a missing file to the callers.
      return error == ERROR_NO_ASSOCIATION ? platform::kErrorFileNotFound : error;
    }
    if (info.hProcess == nullptr) return platform::kSuccess;
    if (process != nullptr) {
      *process = WrapProcessHandle(info.hProcess, GetProcessId(info.hProcess));
    } else {
      CloseHandle(info.hProcess);
    }
    return platform::kSuccess;
  }

  bool MakeSureDirectoryPathExists(const std::string& path) override {
    return ::MakeSureDirectoryPathExists(path.c_str()) != FALSE;
  }
};

}  // namespace

std::unique_ptr<platform::Shell> NewWin32Shell() { return std::make_unique<Win32Shell>(); }

}  // namespace qdw::win32
