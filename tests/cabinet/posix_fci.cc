#include "tests/cabinet/posix_fci.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace qdw::cab::testing {
namespace {

struct PackState {
  const PackOptions* options;
  PackResult* result;
  std::string folder;
  std::string base;
  std::string extension;
};

std::atomic<size_t> g_memory{0};
std::atomic<size_t> g_peak_memory{0};
int g_open_handles = 0;

// Blocks carry their size in front so the peak can be tracked.
void* Alloc(unsigned long size) {
  auto* block = static_cast<size_t*>(std::malloc(size + sizeof(max_align_t)));
  if (block == nullptr) return nullptr;
  *block = size;
  size_t now = g_memory += size;
  size_t peak = g_peak_memory;
  while (now > peak && !g_peak_memory.compare_exchange_weak(peak, now)) {
  }
  return reinterpret_cast<char*>(block) + sizeof(max_align_t);
}

void Free(void* memory) {
  if (memory == nullptr) return;
  auto* block = reinterpret_cast<size_t*>(static_cast<char*>(memory) - sizeof(max_align_t));
  g_memory -= *block;
  std::free(block);
}

intptr_t Open(char* path, int oflag, int pmode, int* err, void*) {
  int mode = ((pmode & CAB_S_IREAD) ? 0400 : 0) | ((pmode & CAB_S_IWRITE) ? 0200 : 0);
  int fd = open(path, PosixOpenFlags(oflag), mode ? mode : 0600);
  if (fd < 0) {
    *err = errno;
  } else {
    ++g_open_handles;
  }
  return fd;
}

unsigned int Read(intptr_t hf, void* memory, unsigned int cb, int* err, void*) {
  ssize_t got = read(static_cast<int>(hf), memory, cb);
  if (got < 0) {
    *err = errno;
    return static_cast<unsigned int>(-1);
  }
  return static_cast<unsigned int>(got);
}

unsigned int Write(intptr_t hf, void* memory, unsigned int cb, int* err, void*) {
  ssize_t put = write(static_cast<int>(hf), memory, cb);
  if (put < 0) {
    *err = errno;
    return static_cast<unsigned int>(-1);
  }
  return static_cast<unsigned int>(put);
}

int Close(intptr_t hf, int* err, void*) {
  --g_open_handles;
  int result = close(static_cast<int>(hf));
  if (result != 0) *err = errno;
  return result;
}

long Seek(intptr_t hf, long dist, int seektype, int* err, void*) {
  off_t result = lseek(static_cast<int>(hf), dist, seektype);
  if (result < 0) *err = errno;
  return static_cast<long>(result);
}

int Delete(char* path, int* err, void*) {
  int result = unlink(path);
  if (result != 0) *err = errno;
  return result;
}

int TempName(char* name, int size, void* pv) {
  if (static_cast<PackState*>(pv)->options->no_temp_names) return 0;
  const char* dir = std::getenv("TMPDIR");
  std::string pattern = std::string(dir ? dir : "/tmp") + "/cabtestXXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back(0);
  int fd = mkstemp(buffer.data());
  if (fd < 0) return 0;
  close(fd);
  unlink(buffer.data());
  if (static_cast<int>(std::strlen(buffer.data())) >= size) return 0;
  std::strcpy(name, buffer.data());
  return 1;
}

int FilePlaced(PCCAB, char*, long, int continuation, void* pv) {
  auto* state = static_cast<PackState*>(pv);
  (continuation ? state->result->continuations_placed : state->result->files_placed)++;
  return 0;
}

int NextCabinet(PCCAB ccab, unsigned long, void* pv) {
  auto* state = static_cast<PackState*>(pv);
  if (state->options->refuse_next_cabinet) return 0;
  std::snprintf(ccab->szCab, sizeof(ccab->szCab), "%s_add%d%s", state->base.c_str(), ccab->iCab,
                state->extension.c_str());
  state->result->continuation_names.push_back(ccab->szCab);
  state->result->volumes.push_back(state->folder + ccab->szCab);
  return 1;
}

long Status(unsigned int, unsigned long, unsigned long, void* pv) {
  return static_cast<PackState*>(pv)->options->abort_in_status ? -1 : 0;
}

intptr_t OpenInfo(char* name, unsigned short* date, unsigned short* time, unsigned short* attribs,
                  int* err, void* pv) {
  auto* state = static_cast<PackState*>(pv);
  struct stat info;
  if (stat(name, &info) != 0) {
    *err = errno;
    return -1;
  }
  DosDateTime(info.st_mtime, date, time);
  auto found = state->options->attributes.find(name);
  *attribs = found == state->options->attributes.end() ? 0x20 : found->second;
  int fd = open(name, O_RDONLY);
  if (fd < 0) {
    *err = errno;
  } else {
    ++g_open_handles;
  }
  return fd;
}

}  // namespace

int PosixOpenFlags(int cab_flags) {
  int flags = 0;
  switch (cab_flags & 3) {
    case CAB_O_WRONLY:
      flags = O_WRONLY;
      break;
    case CAB_O_RDWR:
      flags = O_RDWR;
      break;
    default:
      flags = O_RDONLY;
      break;
  }
  if (cab_flags & CAB_O_APPEND) flags |= O_APPEND;
  if (cab_flags & CAB_O_CREAT) flags |= O_CREAT;
  if (cab_flags & CAB_O_TRUNC) flags |= O_TRUNC;
  if (cab_flags & CAB_O_EXCL) flags |= O_EXCL;
  return flags;
}

void DosDateTime(int64_t unix_time, unsigned short* date, unsigned short* time) {
  time_t seconds = static_cast<time_t>(unix_time);
  struct tm local;
  localtime_r(&seconds, &local);
  *date = static_cast<unsigned short>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 |
                                      local.tm_mday);
  *time = static_cast<unsigned short>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

PackResult PackFiles(const std::vector<SourceFile>& files, const std::string& cabinet_path,
                     const PackOptions& options) {
  PackResult result;
  PackState state{&options, &result, "", "", ""};
  size_t slash = cabinet_path.rfind('/');
  state.folder = cabinet_path.substr(0, slash + 1);
  std::string name = cabinet_path.substr(slash + 1);
  state.base = name.substr(0, name.size() - 4);
  state.extension = name.substr(name.size() - 4);
  result.volumes.push_back(cabinet_path);

  g_memory = g_peak_memory = 0;
  g_open_handles = 0;
  CCAB ccab{};
  ccab.cb = options.volume_limit;
  ccab.cbReserveCFHeader = options.reserve_header;
  ccab.cbReserveCFFolder = options.reserve_folder;
  ccab.cbReserveCFData = options.reserve_data;
  ccab.fFailOnIncompressible = options.fail_on_incompressible;
  ccab.cbFolderThresh = options.folder_threshold;
  ccab.iCab = 1;
  ccab.setID = options.set_id;
  std::snprintf(ccab.szCab, sizeof(ccab.szCab), "%s", name.c_str());
  std::snprintf(ccab.szCabPath, sizeof(ccab.szCabPath), "%s", state.folder.c_str());
  HFCI hfci = FCICreate(&result.erf, FilePlaced, Alloc, Free, Open, Read, Write, Close, Seek,
                        Delete, TempName, &ccab, &state);
  if (hfci == nullptr) {
    result.peak_memory = g_peak_memory;
    return result;
  }
  bool ok = true;
  for (const SourceFile& file : files) {
    ok = FCIAddFile(hfci, const_cast<char*>(file.path.c_str()),
                    const_cast<char*>(file.stored_name.c_str()), 0, NextCabinet, Status, OpenInfo,
                    options.compression);
    if (!ok) break;
  }
  if (ok) ok = FCIFlushCabinet(hfci, 0, NextCabinet, Status);
  FCIDestroy(hfci);
  result.ok = ok;
  result.peak_memory = g_peak_memory;
  result.open_handles_left = g_open_handles;
  return result;
}

}  // namespace qdw::cab::testing
