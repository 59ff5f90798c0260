#include "tests/win32/platform_fci_writer.h"

#include <windows.h>
// The system's cabinet headers and the runtime's file functions after <windows.h>.
#include <fci.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qdw::testing {
namespace {

FNFCIALLOC(Allocate) { return std::malloc(cb); }
FNFCIFREE(Free) { std::free(memory); }
FNFCIOPEN(Open) {
  const int handle = _open(pszFile, oflag, pmode);
  if (handle == -1) *err = errno;
  return handle;
}
FNFCIREAD(Read) { return static_cast<UINT>(_read(static_cast<int>(hf), memory, cb)); }
FNFCIWRITE(Write) { return static_cast<UINT>(_write(static_cast<int>(hf), memory, cb)); }
FNFCICLOSE(Close) { return _close(static_cast<int>(hf)); }
FNFCISEEK(Seek) { return _lseek(static_cast<int>(hf), dist, seektype); }
FNFCIDELETE(Remove) { return _unlink(pszFile); }
FNFCIFILEPLACED(Placed) { return 0; }
FNFCISTATUS(Status) { return 0; }
FNFCIGETNEXTCABINET(NextCabinet) { return FALSE; }
FNFCIGETTEMPFILE(TempName) {
  char folder[MAX_PATH];
  char name[MAX_PATH];
  if (GetTempPathA(sizeof(folder), folder) == 0) return FALSE;
  if (GetTempFileNameA(folder, "fci", 0, name) == 0) return FALSE;
  DeleteFileA(name);  // FCI creates it itself
  if (static_cast<int>(std::strlen(name)) >= cbTempName) return FALSE;
  std::strcpy(pszTempName, name);
  return TRUE;
}
FNFCIGETOPENINFO(OpenInfo) {
  HANDLE file = CreateFileA(pszName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  FILETIME written;
  GetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  FILETIME local;
  FileTimeToLocalFileTime(&written, &local);
  FileTimeToDosDateTime(&local, pdate, ptime);
  *pattribs = static_cast<USHORT>(GetFileAttributesA(pszName) & 0x27);
  const int handle = _open(pszName, _O_RDONLY | _O_BINARY);
  if (handle == -1) *err = errno;
  return handle;
}

using CreateEntry = HFCI(DIAMONDAPI*)(PERF, PFNFCIFILEPLACED, PFNFCIALLOC, PFNFCIFREE, PFNFCIOPEN,
                                      PFNFCIREAD, PFNFCIWRITE, PFNFCICLOSE, PFNFCISEEK,
                                      PFNFCIDELETE, PFNFCIGETTEMPFILE, PCCAB, void*);
using AddFileEntry = BOOL(DIAMONDAPI*)(HFCI, LPSTR, LPSTR, BOOL, PFNFCIGETNEXTCABINET, PFNFCISTATUS,
                                       PFNFCIGETOPENINFO, TCOMP);
using FlushEntry = BOOL(DIAMONDAPI*)(HFCI, BOOL, PFNFCIGETNEXTCABINET, PFNFCISTATUS);
using DestroyEntry = BOOL(DIAMONDAPI*)(HFCI);

// An entry point of `module` as the function type it has.
template <typename Function>
Function Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::string WriteWithPlatformFci(const std::string& source_folder,
                                 const std::map<std::string, std::string>& files,
                                 const std::string& cabinet_path) {
  HMODULE cabinet = LoadLibraryA("cabinet.dll");
  if (cabinet == nullptr) return "cabinet.dll is missing";
  auto create = Entry<CreateEntry>(cabinet, "FCICreate");
  auto add = Entry<AddFileEntry>(cabinet, "FCIAddFile");
  auto flush = Entry<FlushEntry>(cabinet, "FCIFlushCabinet");
  auto destroy = Entry<DestroyEntry>(cabinet, "FCIDestroy");
  std::string failure;
  if (create == nullptr || add == nullptr || flush == nullptr || destroy == nullptr) {
    failure = "cabinet.dll lacks the compression entry points";
  }
  CCAB ccab{};
  const size_t slash = cabinet_path.rfind('\\');
  std::snprintf(ccab.szCabPath, sizeof(ccab.szCabPath), "%s",
                cabinet_path.substr(0, slash + 1).c_str());
  std::snprintf(ccab.szCab, sizeof(ccab.szCab), "%s", cabinet_path.substr(slash + 1).c_str());
  ccab.cb = 0x7FFFFFFF;
  ccab.cbFolderThresh = 0x7FFFFFFF;
  ccab.iCab = 1;
  ERF error{};
  HFCI context = failure.empty() ? create(&error, Placed, Allocate, Free, Open, Read, Write, Close,
                                          Seek, Remove, TempName, &ccab, nullptr)
                                 : nullptr;
  if (failure.empty() && context == nullptr) failure = "FCICreate failed";
  for (const auto& [stored, content] : files) {
    if (!failure.empty()) break;
    std::string source = source_folder + "\\" + stored;
    std::string name = stored;
    if (!add(context, source.data(), name.data(), FALSE, NextCabinet, Status, OpenInfo,
             tcompTYPE_MSZIP)) {
      failure = "FCIAddFile failed on " + stored + " (" + std::to_string(error.erfOper) + ")";
    }
  }
  if (failure.empty() && !flush(context, FALSE, NextCabinet, Status)) {
    failure = "FCIFlushCabinet failed (" + std::to_string(error.erfOper) + ")";
  }
  if (context != nullptr) destroy(context);
  FreeLibrary(cabinet);
  return failure;
}

}  // namespace qdw::testing
