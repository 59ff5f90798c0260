// The registry through the ANSI Reg* functions.
#include <windows.h>

#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

HKEY RootOf(platform::Hive hive) {
  switch (hive) {
    case platform::Hive::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case platform::Hive::kCurrentUser:
      return HKEY_CURRENT_USER;
    case platform::Hive::kUsers:
      return HKEY_USERS;
  }
  return HKEY_LOCAL_MACHINE;
}

// A key path with two backslashes in a row names a level without a name, which Windows refuses;
// Wine accepts it and opens some other key, so the port refuses it everywhere.
bool HasEmptyLevel(const std::string& path) { return path.find("\\\\") != std::string::npos; }

// The product is 32-bit and keeps its machine keys in the registry's 32-bit view. A 32-bit
// program sees that view anyway; naming it keeps a 64-bit build of the port on the same keys.
REGSAM InProductView(uint32_t access) { return access | KEY_WOW64_32KEY; }

class Win32RegistryKey : public platform::RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }

  WinError EnumSubKey(uint32_t index, std::string* name) override {
    char buffer[256] = {};  // key names are at most 255 characters
    DWORD size = sizeof(buffer);
    LONG result = RegEnumKeyExA(key_, index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<WinError>(result);
    name->assign(buffer, size);
    return platform::kSuccess;
  }

  WinError EnumValue(uint32_t index, std::string* name) override {
    char buffer[16384] = {};  // value names are at most 16383 characters
    DWORD size = sizeof(buffer);
    LONG result =
        RegEnumValueA(key_, index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<WinError>(result);
    name->assign(buffer, size);
    return platform::kSuccess;
  }

  WinError QueryValue(const std::string& name, uint32_t buffer_size, uint32_t* type,
                      std::vector<uint8_t>* data) override {
    std::vector<uint8_t> buffer(buffer_size);
    DWORD stored_type = 0;
    DWORD size = buffer_size;
    LONG result = RegQueryValueExA(key_, name.c_str(), nullptr, &stored_type,
                                   buffer_size ? buffer.data() : nullptr, &size);
    if (result != ERROR_SUCCESS) {
      data->clear();  // nothing of a value that did not fit
      return static_cast<WinError>(result);
    }
    buffer.resize(size);
    *type = stored_type;
    *data = std::move(buffer);
    return platform::kSuccess;
  }

  WinError SetValue(const std::string& name, uint32_t type,
                    const std::vector<uint8_t>& data) override {
    return static_cast<WinError>(
        RegSetValueExA(key_, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())));
  }

  WinError DeleteValue(const std::string& name) override {
    return static_cast<WinError>(RegDeleteValueA(key_, name.c_str()));
  }

  WinError DeleteSubKey(const std::string& name) override {
    return static_cast<WinError>(RegDeleteKeyA(key_, name.c_str()));
  }

 private:
  HKEY key_;
};

class Win32Registry : public platform::Registry {
 public:
  WinError OpenKey(platform::Hive hive, const std::string& path, uint32_t access,
                   std::unique_ptr<platform::RegistryKey>* out) override {
    out->reset();
    if (HasEmptyLevel(path)) return platform::kErrorBadPathname;
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(RootOf(hive), path.c_str(), 0, InProductView(access), &key);
    if (result != ERROR_SUCCESS) return static_cast<WinError>(result);
    *out = std::make_unique<Win32RegistryKey>(key);
    return platform::kSuccess;
  }

  WinError CreateKey(platform::Hive hive, const std::string& path, uint32_t access,
                     std::unique_ptr<platform::RegistryKey>* out, bool* created) override {
    out->reset();
    if (HasEmptyLevel(path)) return platform::kErrorBadPathname;
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG result = RegCreateKeyExA(RootOf(hive), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  InProductView(access), nullptr, &key, &disposition);
    if (result != ERROR_SUCCESS) return static_cast<WinError>(result);
    if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
    *out = std::make_unique<Win32RegistryKey>(key);
    return platform::kSuccess;
  }
};

}  // namespace

std::unique_ptr<platform::Registry> NewWin32Registry() { return std::make_unique<Win32Registry>(); }

}  // namespace qdw::win32
