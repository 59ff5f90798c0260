// Loading modules by name, their entry points and their resources.
#include <windows.h>

#include <string>

#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

class Win32Library : public platform::Library {
 public:
  explicit Win32Library(HMODULE module) : module_(module) {}
  ~Win32Library() override { FreeLibrary(module_); }

  void* Symbol(const std::string& name) const override {
    return reinterpret_cast<void*>(GetProcAddress(module_, name.c_str()));
  }

  bool Resource(uint16_t type, uint16_t id, std::vector<uint8_t>* bytes) const override {
    return Read(MAKEINTRESOURCEA(type), id, bytes);
  }

  bool NamedTypeResource(const std::string& type, uint16_t id,
                         std::vector<uint8_t>* bytes) const override {
    return Read(type.c_str(), id, bytes);
  }

 private:
  bool Read(const char* type, uint16_t id, std::vector<uint8_t>* bytes) const {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return false;
    HGLOBAL loaded = LoadResource(module_, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) return false;
    const uint8_t* begin = static_cast<const uint8_t*>(data);
    bytes->assign(begin, begin + SizeofResource(module_, found));
    return true;
  }

  HMODULE module_;
};

// "CABINET" is the system's cabinet library unless QDW_CABINET_LIBRARY names another module
// with the same entry points (our engine, qdwcabinet.dll), so either can pack and unpack sets.
std::string ModuleToLoad(const std::string& name) {
  if (lstrcmpiA(name.c_str(), "CABINET") != 0 && lstrcmpiA(name.c_str(), "CABINET.DLL") != 0) {
    return name;
  }
  const DWORD size = GetEnvironmentVariableA("QDW_CABINET_LIBRARY", nullptr, 0);
  if (size <= 1) return name;
  std::string chosen(size, '\0');
  const DWORD length = GetEnvironmentVariableA("QDW_CABINET_LIBRARY", chosen.data(), size);
  chosen.resize(length < size ? length : 0);
  // A choice that cannot be read is kept as a name that loads nothing, never the other library.
  return chosen.empty() ? std::string("?") : chosen;
}

class Win32Libraries : public platform::Libraries {
 public:
  WinError Load(const std::string& name, std::unique_ptr<platform::Library>* out) override {
    out->reset();
    HMODULE module = LoadLibraryA(ModuleToLoad(name).c_str());
    if (module == nullptr) return platform::kErrorModNotFound;
    *out = std::make_unique<Win32Library>(module);
    return platform::kSuccess;
  }
};

}  // namespace

std::unique_ptr<platform::Libraries> NewWin32Libraries() {
  return std::make_unique<Win32Libraries>();
}

}  // namespace qdw::win32
