// rightsmend.dll exports its two entry points by name and by ordinal, and Backup.exe imports
// them by ordinal only.
#include <gtest/gtest.h>
#include <windows.h>

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
  std::ifstream in(ProgramFolder() + "Backup.exe", std::ios::binary);
  ASSERT_TRUE(in.good()) << "Backup.exe beside the tests";
  const std::vector<char> file((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
  auto at = [&](size_t offset) { return file.data() + offset; };
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew));
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
    auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA64*>(at(
        offset_of(import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk)));
    for (; thunk->u1.AddressOfData != 0; ++thunk) {
      ASSERT_TRUE(IMAGE_SNAP_BY_ORDINAL64(thunk->u1.Ordinal)) << "imported by name";
      ordinals.push_back(static_cast<WORD>(IMAGE_ORDINAL64(thunk->u1.Ordinal)));
    }
  }
  ASSERT_TRUE(found) << "Backup.exe does not import rightsmend.dll";
  EXPECT_FALSE(ordinals.empty());
  for (WORD ordinal : ordinals) EXPECT_TRUE(ordinal == 1 || ordinal == 2) << ordinal;
}

}  // namespace
}  // namespace qdw
