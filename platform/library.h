// Loading a module by name, as the program does for "CABINET", "PSAPI.DLL", "VDMDBG.DLL",
// "Kernel32.DLL" and the resource module "Lingvault.dll".
#ifndef QDW_PLATFORM_LIBRARY_H_
#define QDW_PLATFORM_LIBRARY_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_error.h"

namespace qdw::platform {

// Numeric resource types of the Windows resource format.
inline constexpr uint16_t kResourceIcon = 3;
inline constexpr uint16_t kResourceDialog = 5;
inline constexpr uint16_t kResourceString = 6;
inline constexpr uint16_t kResourceGroupIcon = 14;

// A loaded module. Released (the library unloaded) when the object is destroyed.
class Library {
 public:
  virtual ~Library() = default;

  // Address of an exported entry point, or nullptr when the module has no such export.
  // The caller casts it to the entry's documented signature.
  virtual void* Symbol(const std::string& name) const = 0;

  // Raw bytes of a resource, by numeric type (kResource*) and numeric id. False when missing.
  virtual bool Resource(uint16_t type, uint16_t id, std::vector<uint8_t>* bytes) const = 0;

  // Raw bytes of a resource whose type is a name (for example "AVI"). False when missing.
  virtual bool NamedTypeResource(const std::string& type, uint16_t id,
                                 std::vector<uint8_t>* bytes) const = 0;
};

class Libraries {
 public:
  virtual ~Libraries() = default;

  // Loads a module by name through the normal search path (the program's own folder first).
  // kErrorModNotFound when it cannot be found or loaded.
  virtual WinError Load(const std::string& name, std::unique_ptr<Library>* out) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_LIBRARY_H_
