// The shipped files as Windows sees them: all 32-bit; rightsmend.dll exports its two entry
// points by name and by ordinal, and Backup.exe imports them by ordinal only; Backup.exe's own
// module holds the program icon and its manifest, nothing else.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qdw {
namespace {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  const std::string full(path, length);
  return full.substr(0, full.rfind('\\') + 1);
}

std::vector<char> ReadProgramFile(const std::string& name) {
  std::ifstream in(ProgramFolder() + name, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ShippedFilesTest, EveryFileIs32Bit) {
  for (const char* name : {"Backup.exe", "rightsmend.dll", "Compressor.dll", "Extractor.dll",
                           "Lingvault.dll", "qdwcabinet.dll"}) {
    const std::vector<char> file = ReadProgramFile(name);
    ASSERT_GT(file.size(), sizeof(IMAGE_DOS_HEADER)) << name << " beside the tests";
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    ASSERT_LT(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32), file.size());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(file.data() + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386) << name;
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC) << name;
  }
}

BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR out) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(out)->push_back(reinterpret_cast<ULONG_PTR>(type));
  return TRUE;
}

TEST(ShippedFilesTest, BackupModuleHoldsTheIconAndTheManifestOnly) {
  HMODULE module =
      LoadLibraryExA((ProgramFolder() + "Backup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << GetLastError();
  std::vector<ULONG_PTR> types;
  EnumResourceTypesA(module, CollectType, reinterpret_cast<LONG_PTR>(&types));
  std::sort(types.begin(), types.end());
  const std::vector<ULONG_PTR> expected = {reinterpret_cast<ULONG_PTR>(RT_ICON),
                                           reinterpret_cast<ULONG_PTR>(RT_GROUP_ICON),
                                           reinterpret_cast<ULONG_PTR>(RT_MANIFEST)};
  EXPECT_EQ(types, expected);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(9002), RT_GROUP_ICON), nullptr);

  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
  const std::string manifest(bytes, SizeofResource(module, found));
  for (const char* part :
       {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "processorArchitecture=\"x86\"", "level=\"requireAdministrator\"",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">true</dpiAware>"}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
  FreeLibrary(module);
}

TEST(RightsmendOrdinalsTest, OrdinalsOneAndTwoAreTheNamedExports) {
  HMODULE library = LoadLibraryA("rightsmend.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(GetProcAddress(library, "VNChangeAccessRights"), nullptr);
  EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(1)),
            GetProcAddress(library, "VNChangeAccessRights"));
  EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(2)),
            GetProcAddress(library, "VNChangeAccessRightsFullPath"));
  FreeLibrary(library);
}

// Reads the import directory of the program file: the entries it takes from rightsmend.dll.
TEST(RightsmendOrdinalsTest, BackupImportsTheEntryPointsByOrdinal) {
  const std::vector<char> file = ReadProgramFile("Backup.exe");
  ASSERT_FALSE(file.empty()) << "Backup.exe beside the tests";
  auto at = [&](size_t offset) { return file.data() + offset; };
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(dos->e_lfanew));
  const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
  auto offset_of = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& s = sections[i];
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
        return rva - s.VirtualAddress + s.PointerToRawData;
      }
    }
    return 0;
  };
  const DWORD imports_rva =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(offset_of(imports_rva)));
  std::vector<WORD> ordinals;
  bool found = false;
  for (; import->Name != 0; ++import) {
    if (lstrcmpiA(at(offset_of(import->Name)), "rightsmend.dll") != 0) continue;
    found = true;
    auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(at(
        offset_of(import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk)));
    for (; thunk->u1.AddressOfData != 0; ++thunk) {
      ASSERT_TRUE(IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) << "imported by name";
      ordinals.push_back(static_cast<WORD>(IMAGE_ORDINAL(thunk->u1.Ordinal)));
    }
  }
  ASSERT_TRUE(found) << "Backup.exe does not import rightsmend.dll";
  EXPECT_FALSE(ordinals.empty());
  for (WORD ordinal : ordinals) EXPECT_TRUE(ordinal == 1 || ordinal == 2) << ordinal;
}

}  // namespace
}  // namespace qdw
