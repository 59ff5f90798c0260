// The real Win32 port as the port under test: a scratch folder under the system's temporary
// folder and a scratch key under HKEY_CURRENT_USER\Software, both removed afterwards. The hooks
// use the Win32 API directly, so they never depend on the port they check.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "tests/platform/port_under_test.h"
#include "tests/win32/win32_scratch_folder.h"

namespace qdw::testing {
namespace {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  const std::string full(path, length);
  return full.substr(0, full.rfind('\\'));
}

// Whether a read-only file can still be opened for writing here (Wine run by root can).
bool ReadOnlyFilesOpenForWriting(const std::string& folder) {
  const std::string path = folder + "\\qdw-read-only-probe.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_READONLY, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const bool opened = file != INVALID_HANDLE_VALUE;
  if (opened) CloseHandle(file);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
  return opened;
}

// The reparse data of a mount point (REPARSE_DATA_BUFFER's MountPointReparseBuffer, which
// MinGW's headers leave to the driver kit).
struct MountPointData {
  DWORD tag;
  WORD data_length;
  WORD reserved;
  WORD substitute_offset;
  WORD substitute_length;
  WORD print_offset;
  WORD print_length;
  WCHAR names[1024];
};

constexpr DWORD kReparseTagMountPoint = 0xA0000003;
constexpr DWORD kFsctlSetReparsePoint = 0x000900A4;

// Turns the empty folder `path` into a junction to `target` ("mklink /J").
std::string SetMountPoint(const std::string& path, const std::string& target) {
  std::wstring print(target.begin(), target.end());  // the scratch paths are ASCII
  std::wstring substitute = L"\\??\\" + print;
  MountPointData data = {};
  const size_t name_bytes = (substitute.size() + 1 + print.size() + 1) * sizeof(WCHAR);
  if (name_bytes > sizeof(data.names)) return "the target path is too long";
  data.tag = kReparseTagMountPoint;
  data.substitute_offset = 0;
  data.substitute_length = static_cast<WORD>(substitute.size() * sizeof(WCHAR));
  data.print_offset = static_cast<WORD>((substitute.size() + 1) * sizeof(WCHAR));
  data.print_length = static_cast<WORD>(print.size() * sizeof(WCHAR));
  substitute.copy(data.names, substitute.size());
  print.copy(data.names + substitute.size() + 1, print.size());
  data.data_length = static_cast<WORD>(4 * sizeof(WORD) + name_bytes);
  HANDLE folder = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE)
    return "opening failed with " + std::to_string(GetLastError());
  DWORD returned = 0;
  const DWORD size = static_cast<DWORD>(8 + data.data_length);
  BOOL ok =
      DeviceIoControl(folder, kFsctlSetReparsePoint, &data, size, nullptr, 0, &returned, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(folder);
  return ok ? "" : "FSCTL_SET_REPARSE_POINT failed with " + std::to_string(error);
}

class Win32PortUnderTest : public PortUnderTest {
 public:
  Win32PortUnderTest() {
    static int counter = 0;
    const std::string unique =
        std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    scratch_key_ = "Software\\QdwContractTest-" + unique;
    host_database_ = "/tmp/qdw-contract-" + unique + ".db";
  }
  ~Win32PortUnderTest() override {
    for (HANDLE handle : held_) CloseHandle(handle);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch_key_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, scratch_key_.c_str());
    if (database_made_) DeleteFileA(("Z:" + host_database_).c_str());
  }

  platform::Platform& platform() override { return platform::DefaultPlatform(); }
  const std::string& scratch() const override { return scratch_.path(); }
  const std::string& scratch_key() const override { return scratch_key_; }

  void PutFile(const std::string& path, const std::string& content) override {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
      CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good()) << path;
  }
  // Sharing violations hold between handles of one process too.
  void HoldOpen(const std::string& path, uint32_t share) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << path << ": error " << GetLastError();
    held_.push_back(handle);
  }

  std::string MakeJunction(const std::string& path, const std::string& target) override {
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
      return "CreateDirectory failed with " + std::to_string(GetLastError());
    }
    std::string why = SetMountPoint(path, target);
    if (!why.empty()) RemoveDirectoryA(path.c_str());
    return why;
  }

  std::string ProbeProgram() override { return ProgramFolder() + "\\probe_program.exe"; }
  std::string ProbeOutput(const std::string& name) override { return Scratch(name); }
  std::string ReadProbeOutput(const std::string& name) override {
    std::ifstream in(Scratch(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string KnownModule() override { return "KERNEL32.DLL"; }
  std::string KnownEntry() override { return "GetTickCount"; }
  bool BuiltBesideTests(const std::string& file) override {
    return GetFileAttributesA((ProgramFolder() + "\\" + file).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  // Every Windows and every Wine prefix has the print spooler, which may be stopped and
  // started again.
  std::string StoppableService() override { return "Spooler"; }

  // Wine hands ODBC to the host's driver manager without translating paths; there the host's
  // SQLite driver stands in for the Access driver, on a host file.
  std::string NewDatabase(std::string* why) override {
    if (!RunningUnderWine()) {
      *why = "an empty Access database needs Microsoft Access to create; the stand-in covers it";
      return "";
    }
    database_made_ = true;
    return "ODBC;DRIVER={SQLite3};Database=" + host_database_;
  }

  // What Wine (8, run by root) does otherwise than Windows; real Windows lacks nothing here.
  std::string LackReason(Capability capability) const override {
    if (capability == Capability::kReadOnlyEnforced) {
      return ReadOnlyFilesOpenForWriting(scratch_.path())
                 ? "read-only files and folders take writes and removal here (Wine run by root)"
                 : "";
    }
    if (!RunningUnderWine()) return "";
    switch (capability) {
      case Capability::kFileAcls:
        return "Wine accepts file access lists but does not keep them";
      case Capability::kCreationTimes:
        return "Wine cannot set a file's creation time";
      case Capability::kAccessDialect:
        return "under Wine the host's SQLite ODBC driver stands in for the Access driver and does "
               "not speak the Access dialect";
      case Capability::kWindowsPathErrors:
        return "Wine gives other codes for paths through a file, to a missing drive and to a "
               "drive root (2, 87, 123, 145) and a drive kind for any folder";
      case Capability::kArchiveAttributeAsSet:
        return "Wine reports the archive attribute on every file";
      case Capability::kOpenFilesPinTheirFolder:
        return "Wine moves a folder while files inside are open";
      case Capability::kCaseOnlyRename:
        return "Wine keeps the old spelling when a rename changes only the case";
      case Capability::kHiddenFileReplaceCheck:
        return "Wine replaces a hidden file for a caller not asking for a hidden file";
      case Capability::kHandleRightsForTimes:
        return "Wine sets file times through a handle opened only for reading";
      case Capability::kCaseInsensitiveAccounts:
        return "Wine matches account names with their case";
      case Capability::kDomainQualifiedNames:
        return "Wine finds a user's account whatever domain qualifies the name";
      case Capability::kStrayPercentExpansion:
        return "Wine leaves a variable after a stray percent sign unexpanded";
      case Capability::kNoAssociationError:
        return "Wine runs a file no program is registered for as a program (193)";
      case Capability::kReadOnlyEnforced:
        break;
    }
    return "";
  }

 private:
  ScratchFolder scratch_;
  std::string scratch_key_;
  std::string host_database_;
  bool database_made_ = false;
  std::vector<HANDLE> held_;
};

}  // namespace

std::unique_ptr<PortUnderTest> PortUnderTest::Make() {
  return std::make_unique<Win32PortUnderTest>();
}

}  // namespace qdw::testing
