#include "tests/cabinet/posix_fdi.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>

#include "tests/cabinet/posix_fci.h"

namespace qdw::cab::testing {
namespace {

struct ExtractState {
  const ExtractOptions* options;
  ExtractResult* result;
  std::string destination;
};

int g_open_handles = 0;
size_t g_memory = 0;
size_t g_peak_memory = 0;

// Blocks carry their size in front so the peak can be tracked.
void* Alloc(unsigned long size) {
  auto* block = static_cast<size_t*>(std::malloc(size + sizeof(max_align_t)));
  if (block == nullptr) return nullptr;
  *block = size;
  g_memory += size;
  g_peak_memory = std::max(g_peak_memory, g_memory);
  return reinterpret_cast<char*>(block) + sizeof(max_align_t);
}
void Free(void* memory) {
  if (memory == nullptr) return;
  auto* block = reinterpret_cast<size_t*>(static_cast<char*>(memory) - sizeof(max_align_t));
  g_memory -= *block;
  std::free(block);
}

intptr_t Open(char* path, int oflag, int pmode) {
  int fd = open(path, PosixOpenFlags(oflag), pmode ? 0600 : 0);
  if (fd >= 0) ++g_open_handles;
  return fd;
}
unsigned int Read(intptr_t hf, void* pv, unsigned int cb) {
  ssize_t got = read(static_cast<int>(hf), pv, cb);
  return got < 0 ? static_cast<unsigned int>(-1) : static_cast<unsigned int>(got);
}
unsigned int Write(intptr_t hf, void* pv, unsigned int cb) {
  ssize_t put = write(static_cast<int>(hf), pv, cb);
  return put < 0 ? static_cast<unsigned int>(-1) : static_cast<unsigned int>(put);
}
int Close(intptr_t hf) {
  --g_open_handles;
  return close(static_cast<int>(hf));
}
long Seek(intptr_t hf, long dist, int seektype) {
  return static_cast<long>(lseek(static_cast<int>(hf), dist, seektype));
}

intptr_t Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notification) {
  auto* state = static_cast<ExtractState*>(notification->pv);
  ExtractResult* result = state->result;
  result->events.push_back(std::to_string(static_cast<int>(type)) + " " +
                           (notification->psz1 != nullptr ? notification->psz1 : ""));
  switch (type) {
    case fdintCABINET_INFO:
      ++result->cabinet_infos;
      return 0;
    case fdintPARTIAL_FILE:
      result->partial.push_back(notification->psz1);
      return 0;
    case fdintNEXT_CABINET:
      result->next_cabinets.push_back(notification->psz1);
      return state->options->on_next_cabinet ? state->options->on_next_cabinet(notification) : 0;
    case fdintENUMERATE:
      ++result->enumerates;
      return 0;
    case fdintCOPY_FILE: {
      std::string name = notification->psz1;
      if (state->options->skip && state->options->skip(name)) return 0;
      std::string target = state->destination + name;
      for (size_t i = state->destination.size(); i < target.size(); ++i) {
        if (target[i] == '\\') target[i] = '/';
      }
      if (!state->options->target.empty()) target = state->options->target;
      std::filesystem::create_directories(std::filesystem::path(target).parent_path());
      int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) return -1;
      ++g_open_handles;
      return fd;
    }
    case fdintCLOSE_FILE_INFO: {
      Close(notification->hf);
      ExtractedFile file;
      file.name = notification->psz1;
      file.date = notification->date;
      file.time = notification->time;
      file.attribs = notification->attribs;
      result->copied.push_back(file);
      return 1;
    }
  }
  return 0;
}

}  // namespace

CabinetHeaderInfo ReadCabinetInfo(const std::string& path) {
  CabinetHeaderInfo result;
  HFDI hfdi = FDICreate(Alloc, Free, Open, Read, Write, Close, Seek, cpu80386, &result.erf);
  if (hfdi == nullptr) return result;
  intptr_t hf = Open(const_cast<char*>(path.c_str()), CAB_O_RDONLY | CAB_O_BINARY, 0);
  if (hf != -1) {
    result.is_cabinet = FDIIsCabinet(hfdi, hf, &result.info) != 0;
    Close(hf);
  }
  FDIDestroy(hfdi);
  return result;
}

ExtractResult ExtractVolume(const std::string& cabinet_path, const std::string& destination,
                            const ExtractOptions& options) {
  ExtractResult result;
  g_open_handles = 0;
  g_memory = g_peak_memory = 0;
  HFDI hfdi = FDICreate(Alloc, Free, Open, Read, Write, Close, Seek, cpu80386, &result.erf);
  if (hfdi == nullptr) return result;
  intptr_t hf = Open(const_cast<char*>(cabinet_path.c_str()), CAB_O_RDONLY | CAB_O_BINARY, 0);
  if (hf != -1) {
    FDICABINETINFO info{};
    result.is_cabinet = FDIIsCabinet(hfdi, hf, &info) != 0;
    Close(hf);
  }
  if (result.is_cabinet) {
    size_t slash = cabinet_path.rfind('/');
    std::string folder = cabinet_path.substr(0, slash + 1);
    std::string name = cabinet_path.substr(slash + 1);
    ExtractState state{&options, &result, destination};
    result.ok = FDICopy(hfdi, const_cast<char*>(name.c_str()), const_cast<char*>(folder.c_str()), 0,
                        Notify, nullptr, &state) != 0;
  }
  FDIDestroy(hfdi);
  result.open_handles_left = g_open_handles;
  result.peak_memory = g_peak_memory;
  return result;
}

}  // namespace qdw::cab::testing
