// Files and folders through the Win32 file API (the ANSI entry points, as the program's paths
// are ANSI texts).
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include "platform/concurrent_calls.h"
#include "platform/win32/win32_convert.h"
#include "platform/win32/win32_file.h"
#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

WinError Result(BOOL ok) { return ok ? platform::kSuccess : GetLastError(); }

// "C:" names the current folder of drive C, not its root: the drive calls need "C:\".
std::string RootWithBackslash(const std::string& root) {
  if (!root.empty() && root.back() != '\\') return root + "\\";
  return root;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "C:\..." or "\\server\share...", but not a device path ("\\?\", "\\.\").
bool IsAbsolutePath(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) {
    char letter = static_cast<char>(path[0] & ~0x20);
    return letter >= 'A' && letter <= 'Z';
  }
  return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != '?' &&
         path[2] != '.' && !IsSeparator(path[2]);
}

class Win32FileSystem : public platform::FileSystem {
 public:
  WinError Open(const std::string& path, uint32_t access, uint32_t share,
                platform::Disposition disposition, uint32_t flags_and_attributes,
                std::unique_ptr<platform::File>* out) override {
    HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr,
                                static_cast<DWORD>(disposition), flags_and_attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError();
    *out = WrapFileHandle(handle);
    return platform::kSuccess;
  }

  WinError ReadAttributes(const std::string& path, uint32_t* attributes) override {
    // Callers that look only at the value see the system's "no such file" value too.
    const DWORD value = GetFileAttributesA(path.c_str());
    *attributes = value;
    return value == INVALID_FILE_ATTRIBUTES ? GetLastError() : platform::kSuccess;
  }

  WinError WriteAttributes(const std::string& path, uint32_t attributes) override {
    constexpr uint32_t kSettable = platform::kAttrReadOnly | platform::kAttrHidden |
                                   platform::kAttrSystem | platform::kAttrArchive;
    DWORD value = attributes & kSettable;
    if (value == 0) value = FILE_ATTRIBUTE_NORMAL;
    return Result(SetFileAttributesA(path.c_str(), value));
  }

  WinError Find(const std::string& pattern, std::vector<platform::DirEntry>* entries) override {
    entries->clear();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return GetLastError();
    do {
      platform::DirEntry entry;
      entry.name = data.cFileName;
      entry.attributes = data.dwFileAttributes;
      entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      entry.times.creation = FromFiletime(data.ftCreationTime);
      entry.times.last_access = FromFiletime(data.ftLastAccessTime);
      entry.times.last_write = FromFiletime(data.ftLastWriteTime);
      entries->push_back(std::move(entry));
    } while (FindNextFileA(find, &data));
    WinError end = GetLastError();
    FindClose(find);
    // Anything but the normal end means the listing is incomplete.
    return end == ERROR_NO_MORE_FILES ? platform::kSuccess : end;
  }

  WinError Copy(const std::string& source, const std::string& target,
                bool fail_if_exists) override {
    return Result(CopyFileA(source.c_str(), target.c_str(), fail_if_exists ? TRUE : FALSE));
  }

  WinError Move(const std::string& source, const std::string& target) override {
    // Files may cross drives (copied, then deleted); folders may not.
    return Result(MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED));
  }

  WinError Replace(const std::string& source, const std::string& target) override {
    return Result(MoveFileExA(source.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  }

  WinError Delete(const std::string& path) override { return Result(DeleteFileA(path.c_str())); }

  // CopyFile, DeleteFile and new files of different names may run at once: a small file's copy is
  // mostly the file system's own work, which proceeds on several processors and disk queues.
  void CopyFiles(const std::vector<platform::FileCopy>& copies, bool fail_if_exists, BatchEnd end,
                 std::vector<WinError>* results) override {
    platform::RunBatchConcurrently(
        copies.size(), end == BatchEnd::kStopAtFailure, results,
        [&](size_t i) { return Copy(copies[i].source, copies[i].target, fail_if_exists); });
  }

  void DeleteFiles(const std::vector<std::string>& paths, BatchEnd end,
                   std::vector<WinError>* results) override {
    platform::RunBatchConcurrently(paths.size(), end == BatchEnd::kStopAtFailure, results,
                                   [&](size_t i) { return Delete(paths[i]); });
  }

  // New files of distinct names (the caller names none twice) are made at once too. The
  // stand-in makes them in order: on its memory drive the threads cost more than they save.
  void CreateFiles(const std::vector<platform::NewFile>& files, BatchEnd end,
                   std::vector<WinError>* results) override {
    platform::RunBatchConcurrently(files.size(), end == BatchEnd::kStopAtFailure, results,
                                   [&](size_t i) { return CreateNewFile(files[i]); });
  }

  WinError MakeFolder(const std::string& path) override {
    return Result(CreateDirectoryA(path.c_str(), nullptr));
  }

  WinError RemoveFolder(const std::string& path) override {
    return Result(RemoveDirectoryA(path.c_str()));
  }

  WinError FreeSpace(const std::string& root, uint64_t* free_bytes) override {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(RootWithBackslash(root).c_str(), &available, nullptr, nullptr)) {
      return GetLastError();
    }
    *free_bytes = available.QuadPart;
    return platform::kSuccess;
  }

  uint32_t DriveKind(const std::string& root) override {
    return GetDriveTypeA(RootWithBackslash(root).c_str());
  }

  WinError VolumeFileSystem(const std::string& root, std::string* name) override {
    char buffer[MAX_PATH + 1] = {};
    if (!GetVolumeInformationA(RootWithBackslash(root).c_str(), nullptr, 0, nullptr, nullptr,
                               nullptr, buffer, sizeof(buffer))) {
      return GetLastError();
    }
    *name = buffer;
    return platform::kSuccess;
  }

  WinError ReadDacl(const std::string& path, bool* present, platform::Acl* dacl) override {
    DWORD needed = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    if (needed == 0) return GetLastError();
    std::vector<uint8_t> buffer(needed);
    PSECURITY_DESCRIPTOR descriptor = buffer.data();
    if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor, needed, &needed)) {
      return GetLastError();
    }
    BOOL has_dacl = FALSE;
    BOOL defaulted = FALSE;
    PACL acl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &has_dacl, &acl, &defaulted)) {
      return GetLastError();
    }
    // A present but null DACL grants everyone access, as a missing one does.
    *present = has_dacl && acl != nullptr;
    *dacl = *present ? AclFromWin32(acl) : platform::Acl{};
    return platform::kSuccess;
  }

  WinError WriteDacl(const std::string& path, const platform::Acl& dacl) override {
    std::vector<uint8_t> acl;
    if (!BuildWin32Acl(dacl, &acl)) return platform::kErrorInvalidSid;
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(acl.data()), FALSE)) {
      return GetLastError();
    }
    return Result(SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, &descriptor));
  }

  WinError FullPath(const std::string& path, std::string* full) override {
    full->clear();
    // GetFullPathName would resolve a relative path against the current folder, which the
    // program never relies on; device paths are no files of the program's.
    if (!IsAbsolutePath(path)) return platform::kErrorInvalidName;
    std::string buffer(MAX_PATH, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer.data(), nullptr);
    if (length == 0) return GetLastError();
    if (length >= MAX_PATH) return platform::kErrorFilenameExcedRange;
    buffer.resize(length);
    std::string long_form(MAX_PATH, '\0');
    DWORD long_length = GetLongPathNameA(buffer.c_str(), long_form.data(), MAX_PATH);
    // A path that does not exist (yet) keeps its full form.
    if (long_length > 0 && long_length < MAX_PATH) {
      long_form.resize(long_length);
      buffer = long_form;
    }
    *full = buffer;
    return platform::kSuccess;
  }

  WinError TempFileName(const std::string& prefix, std::string* path) override {
    char* name = _tempnam(nullptr, prefix.c_str());
    if (name == nullptr) return platform::kErrorPathNotFound;
    *path = name;
    free(name);
    return platform::kSuccess;
  }
};

}  // namespace

std::unique_ptr<platform::FileSystem> NewWin32FileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace qdw::win32
