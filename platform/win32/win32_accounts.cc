// Accounts, their SIDs and the user of the running process.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_convert.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

const char* SystemOrNull(const std::string& system) {
  return system.empty() ? nullptr : system.c_str();
}

class Win32Accounts : public platform::Accounts {
 public:
  WinError LookupName(const std::string& system, const std::string& name, platform::Sid* sid,
                      std::string* domain) override {
    // The system answers an empty name with the machine's own domain, which is no account.
    if (name.empty()) return platform::kErrorNoneMapped;
    DWORD sid_size = 0;
    DWORD domain_size = 0;
    SID_NAME_USE use;
    LookupAccountNameA(SystemOrNull(system), name.c_str(), nullptr, &sid_size, nullptr,
                       &domain_size, &use);
    if (sid_size == 0) return GetLastError();
    std::vector<uint8_t> sid_buffer(sid_size);
    std::vector<char> domain_buffer(domain_size + 1);
    if (!LookupAccountNameA(SystemOrNull(system), name.c_str(), sid_buffer.data(), &sid_size,
                            domain_buffer.data(), &domain_size, &use)) {
      return GetLastError();
    }
    *sid = SidFromWin32(sid_buffer.data());
    if (domain != nullptr) *domain = domain_buffer.data();
    return platform::kSuccess;
  }

  WinError LookupSid(const std::string& system, const platform::Sid& sid, std::string* name,
                     std::string* domain) override {
    if (!sid.IsValid()) return platform::kErrorInvalidSid;
    PSID raw = const_cast<uint8_t*>(sid.bytes.data());
    DWORD name_size = 0;
    DWORD domain_size = 0;
    SID_NAME_USE use;
    LookupAccountSidA(SystemOrNull(system), raw, nullptr, &name_size, nullptr, &domain_size, &use);
    if (name_size == 0) return GetLastError();
    std::vector<char> name_buffer(name_size + 1);
    std::vector<char> domain_buffer(domain_size + 1);
    if (!LookupAccountSidA(SystemOrNull(system), raw, name_buffer.data(), &name_size,
                           domain_buffer.data(), &domain_size, &use)) {
      return GetLastError();
    }
    if (name != nullptr) *name = name_buffer.data();
    if (domain != nullptr) *domain = domain_buffer.data();
    return platform::kSuccess;
  }

  WinError ProcessUser(platform::Sid* sid) override {
    HANDLE raw_token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw_token)) {
      return platform::kErrorNoToken;
    }
    ScopedHandle token(raw_token);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return platform::kErrorNoToken;
    std::vector<uint8_t> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
      return platform::kErrorNoToken;
    }
    *sid = SidFromWin32(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
    return sid->IsValid() ? platform::kSuccess : platform::kErrorNoToken;
  }
};

}  // namespace

std::unique_ptr<platform::Accounts> NewWin32Accounts() { return std::make_unique<Win32Accounts>(); }

}  // namespace qdw::win32
