#include "platform/sim/sim_libraries.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/resources/pe_resource_image.h"
#include "platform/resources/resource_image_library.h"
#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_ports.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

using platform::WinError;

std::string FolderOf(const std::string& file) {
  size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// A host shared object; unloaded with the object.
class SharedObject : public platform::Library {
 public:
  SharedObject(const SimMachine& machine, std::string name, void* handle)
      : machine_(machine), name_(std::move(name)), handle_(handle) {}
  ~SharedObject() override { ::dlclose(handle_); }

  void* Symbol(const std::string& entry) const override {
    if (machine_.faults().Check("Libraries.Symbol", name_ + "!" + entry) != platform::kSuccess) {
      return nullptr;
    }
    return ::dlsym(handle_, entry.c_str());
  }
  bool Resource(uint16_t, uint16_t, std::vector<uint8_t>*) const override { return false; }
  bool NamedTypeResource(const std::string&, uint16_t, std::vector<uint8_t>*) const override {
    return false;
  }

 private:
  const SimMachine& machine_;
  std::string name_;
  void* handle_;
};

// The module's own file name ("Lingvault.dll" of "C:\x\Lingvault.dll") and its base name
// without a ".dll" ending.
void SplitModuleName(const std::string& name, std::string* file, std::string* base) {
  std::string text = name;
  size_t cut = text.find_last_of("\\/");
  if (cut != std::string::npos) text = text.substr(cut + 1);
  *file = text;
  *base = text;
  if (text.size() > 4 && platform::EqualsIgnoreCase(text.substr(text.size() - 4), ".dll")) {
    *base = text.substr(0, text.size() - 4);
  }
}

}  // namespace

std::vector<std::string> SimLibraries::SearchFolders() {
  std::vector<std::string> folders;
  if (const char* list = std::getenv("QDW_LIBRARY_PATH")) {
    std::string text = list;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(':', start);
      if (end == std::string::npos) end = text.size();
      if (end > start) folders.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }
  Dl_info info;
  if (::dladdr(reinterpret_cast<void*>(&NewSimLibraries), &info) != 0 && info.dli_fname &&
      info.dli_fname[0] == '/') {
    folders.push_back(FolderOf(info.dli_fname));
  }
  char self[4096];
  ssize_t length = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length > 0) folders.push_back(FolderOf(std::string(self, static_cast<size_t>(length))));
  return folders;
}

WinError SimLibraries::Load(const std::string& name, std::unique_ptr<platform::Library>* out) {
  out->reset();
  if (WinError fault = machine_.faults().Check("Libraries.Load", name)) return fault;
  std::string file;
  std::string base;
  SplitModuleName(name, &file, &base);
  if (base.empty()) return platform::kErrorModNotFound;
  // LoadLibrary adds ".dll" to a name without an extension.
  std::string image_file = file.find('.') == std::string::npos ? file + ".dll" : file;
  for (const std::string& folder : SearchFolders()) {
    std::string found;
    if (FindHostName(folder, image_file, &found)) {
      auto image = resources::PeResourceImage::Open(folder + "/" + found);
      if (image) {
        *out = std::make_unique<resources::ResourceImageLibrary>(std::move(image));
        return platform::kSuccess;
      }
    }
    if (FindHostName(folder, "lib" + base + ".so", &found)) {
      void* handle = ::dlopen((folder + "/" + found).c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle == nullptr) return platform::kErrorModNotFound;
      *out = std::make_unique<SharedObject>(machine_, name, handle);
      return platform::kSuccess;
    }
  }
  return platform::kErrorModNotFound;
}

std::unique_ptr<platform::Libraries> NewSimLibraries(SimMachine& machine) {
  return std::make_unique<SimLibraries>(machine);
}

}  // namespace qdw::sim
