// libFuzzer target for the cabinet reader. The input is one to four volumes separated by
// kVolumeSeparator; the first is opened as "a.cab", and each further name the reader asks for
// gets the next volume. Extracted data is counted and dropped. QDW_FUZZ_THREADS, set by the
// build, is the thread count the reader is given: 1 decodes on the reading thread, more start
// decoder threads for every input that reaches data blocks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cabinet/fdi.h"

namespace {

constexpr char kVolumeSeparator[] = "\xFF\xFEVOLUME\xFE\xFF";
constexpr size_t kMaxVolumes = 4;

struct Volume {
  std::string name;
  const uint8_t* data = nullptr;
  size_t size = 0;
};

struct OpenFile {
  const Volume* volume = nullptr;  // nullptr: a target that swallows writes
  size_t position = 0;
  bool in_use = false;
};

std::vector<Volume> g_volumes;
OpenFile g_files[16];

void* Alloc(unsigned long size) { return std::malloc(size); }
void Free(void* block) { std::free(block); }

intptr_t NewHandle(const Volume* volume) {
  for (intptr_t i = 0; i < 16; ++i) {
    if (!g_files[i].in_use) {
      g_files[i] = OpenFile{volume, 0, true};
      return i + 1;
    }
  }
  return -1;
}

OpenFile* FileOf(intptr_t hf) {
  return hf >= 1 && hf <= 16 && g_files[hf - 1].in_use ? &g_files[hf - 1] : nullptr;
}

intptr_t Open(char* path, int, int) {
  const char* slash = std::strrchr(path, '/');
  std::string name = slash ? slash + 1 : path;
  for (Volume& volume : g_volumes) {
    if (volume.name.empty()) volume.name = name;
    if (volume.name == name) return NewHandle(&volume);
  }
  return -1;
}

unsigned int Read(intptr_t hf, void* out, unsigned int cb) {
  OpenFile* file = FileOf(hf);
  if (file == nullptr || file->volume == nullptr) return static_cast<unsigned int>(-1);
  size_t left = file->position < file->volume->size ? file->volume->size - file->position : 0;
  size_t count = cb < left ? cb : left;
  std::memcpy(out, file->volume->data + file->position, count);
  file->position += count;
  return static_cast<unsigned int>(count);
}

unsigned int Write(intptr_t hf, void*, unsigned int cb) {
  OpenFile* file = FileOf(hf);
  return file != nullptr && file->volume == nullptr ? cb : static_cast<unsigned int>(-1);
}

int Close(intptr_t hf) {
  OpenFile* file = FileOf(hf);
  if (file == nullptr) std::abort();  // the engine closed a handle twice or made one up
  file->in_use = false;
  return 0;
}

long Seek(intptr_t hf, long distance, int origin) {
  OpenFile* file = FileOf(hf);
  if (file == nullptr || file->volume == nullptr) return -1;
  long base = origin == CAB_SEEK_SET   ? 0
              : origin == CAB_SEEK_CUR ? static_cast<long>(file->position)
                                       : static_cast<long>(file->volume->size);
  if (distance < -base) return -1;
  file->position = static_cast<size_t>(base + distance);
  return base + distance;
}

intptr_t Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notification) {
  switch (type) {
    case fdintCOPY_FILE:
      return NewHandle(nullptr);
    case fdintCLOSE_FILE_INFO:
      Close(notification->hf);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QDW_THREADS", QDW_FUZZ_THREADS, 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  g_volumes.clear();
  const size_t separator = sizeof(kVolumeSeparator) - 1;
  size_t start = 0;
  while (g_volumes.size() < kMaxVolumes) {
    const uint8_t* found = nullptr;
    for (size_t i = start; i + separator <= size && found == nullptr; ++i) {
      if (std::memcmp(data + i, kVolumeSeparator, separator) == 0) found = data + i;
    }
    size_t end = found ? static_cast<size_t>(found - data) : size;
    g_volumes.push_back(Volume{g_volumes.empty() ? "a.cab" : "", data + start, end - start});
    if (found == nullptr || g_volumes.size() == kMaxVolumes) break;
    start = end + separator;
  }
  for (OpenFile& file : g_files) file = OpenFile{};

  ERF erf{};
  HFDI hfdi = FDICreate(Alloc, Free, Open, Read, Write, Close, Seek, cpu80386, &erf);
  if (hfdi == nullptr) return 0;
  intptr_t hf = Open(const_cast<char*>("a.cab"), CAB_O_RDONLY, 0);
  FDICABINETINFO info{};
  bool is_cabinet = FDIIsCabinet(hfdi, hf, &info) != 0;
  Close(hf);
  if (is_cabinet) {
    FDICopy(hfdi, const_cast<char*>("a.cab"), const_cast<char*>(""), 0, Notify, nullptr, nullptr);
  }
  FDIDestroy(hfdi);
  for (const OpenFile& file : g_files) {
    if (file.in_use) std::abort();  // a handle was left open
  }
  return 0;
}
