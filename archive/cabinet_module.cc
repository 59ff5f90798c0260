#include "archive/cabinet_module.h"

#include "platform/platform.h"

namespace qdw::archive {

bool CabinetModule::Load() {
  library_.reset();
  std::unique_ptr<platform::Library> library;
  platform::WinError result = platform::DefaultPlatform().libraries().Load("CABINET", &library);
  if (result != platform::kSuccess || library == nullptr) return false;
  library_ = std::move(library);
  return true;
}

}  // namespace qdw::archive
