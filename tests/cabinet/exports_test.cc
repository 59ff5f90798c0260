// The platform loader opens the library by file and looks the entry points up by name.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace {

std::string LibraryPath() {
  char self[4096] = {};
  ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
  return path.substr(0, path.rfind('/') + 1) + "libcabinet.so";
}

TEST(CabinetExportsTest, EveryEntryPointIsExportedByItsName) {
  void* library = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* name : {"FCICreate", "FCIAddFile", "FCIFlushCabinet", "FCIFlushFolder",
                           "FCIDestroy", "FDICreate", "FDIIsCabinet", "FDICopy", "FDIDestroy"}) {
    EXPECT_NE(dlsym(library, name), nullptr) << name;
  }
  // The engine's own C++ symbols stay inside.
  EXPECT_EQ(dlsym(library, "_ZN3qdw3cab11CabChecksumEPKhmj"), nullptr);
  dlclose(library);
}

}  // namespace
