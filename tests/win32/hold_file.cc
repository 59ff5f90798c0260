// Another program holding a document open: opens a file for reading and writing without
// sharing it and keeps it open for a number of seconds, so that the backup finds it in use.
//   hold_file.exe PATH SECONDS
// Prints "holding" once the file is open; exits 1 when it cannot be opened.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hold_file PATH SECONDS\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_file: %s cannot be opened (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
  CloseHandle(file);
  return 0;
}
