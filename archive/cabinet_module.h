// The platform's cabinet library "CABINET", loaded by name for one call of an archive library
// and released at its end.
#ifndef QDW_ARCHIVE_CABINET_MODULE_H_
#define QDW_ARCHIVE_CABINET_MODULE_H_

#include <memory>
#include <string>

#include "platform/library.h"

namespace qdw::archive {

class CabinetModule {
 public:
  CabinetModule() = default;
  // Releases the library unless Abandon() was called.
  ~CabinetModule() = default;
  CabinetModule(const CabinetModule&) = delete;
  CabinetModule& operator=(const CabinetModule&) = delete;

  // Loads "CABINET" on platform::DefaultPlatform(). False when it cannot be loaded.
  bool Load();
  bool loaded() const { return library_ != nullptr; }

  // The entry point `name` as a pointer to function of type `Function`; null when missing.
  template <typename Function>
  Function Entry(const std::string& name) const {
    void* address = library_ != nullptr ? library_->Symbol(name) : nullptr;
    return reinterpret_cast<Function>(address);
  }

  // Unloads the library now.
  void Release() { library_.reset(); }
  // Leaves the library loaded for good: a context it could not destroy may still use its code.
  void Abandon() { (void)library_.release(); }

 private:
  std::unique_ptr<platform::Library> library_;
};

}  // namespace qdw::archive

#endif  // QDW_ARCHIVE_CABINET_MODULE_H_
