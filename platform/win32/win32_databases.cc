// The product database through the Windows ODBC driver manager. The Access driver speaks the
// product's own SQL dialect, so statements pass through unchanged.
#include <windows.h>

#include "platform/odbc/host_path_connection.h"
#include "platform/odbc/odbc_connection.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_wide_text.h"

namespace qdw::win32 {
namespace {

// Wine's kernel32 export; the caller frees the result from the process heap.
using UnixFileNameFunction = char*(CDECL*)(const WCHAR*);

UnixFileNameFunction WineUnixFileName() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<UnixFileNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
}

class Win32Databases : public platform::Databases {
 public:
  Win32Databases() : unix_file_name_(WineUnixFileName()) {}

  std::unique_ptr<platform::DatabaseConnection> NewConnection() override {
    // Under Wine the host's driver manager gets the connect string, and its drivers cannot
    // read Windows paths; on Windows the export does not exist and nothing changes.
    if (unix_file_name_ == nullptr) return std::make_unique<odbc::OdbcConnection>();
    return std::make_unique<odbc::HostPathConnection>(
        [lookup = unix_file_name_](const std::string& path) -> std::optional<std::string> {
          const std::wstring wide = WideFromAnsi(path);
          const DWORD attributes = GetFileAttributesW(wide.c_str());
          if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return std::nullopt;
          }
          char* host = lookup(wide.c_str());
          if (host == nullptr) return std::nullopt;
          std::string result = host;
          HeapFree(GetProcessHeap(), 0, host);
          return result;
        });
  }

 private:
  UnixFileNameFunction unix_file_name_;
};

}  // namespace

std::unique_ptr<platform::Databases> NewWin32Databases() {
  return std::make_unique<Win32Databases>();
}

}  // namespace qdw::win32
