#include "Compressor/writer_callbacks.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "Compressor/compressor_state.h"
#include "archive/dos_time.h"
#include "archive/runtime_files.h"
#include "archive/runtime_flags.h"
#include "platform/platform.h"
#include "platform/windows_path.h"

namespace qdw::compressor {
namespace {

using archive::RuntimeFiles;

// The attribute bits a cabinet keeps: read-only, hidden, system and archive.
constexpr uint32_t kStoredAttributeMask = 0x27;

}  // namespace

void* QDW_CAB_CALL WriterAllocate(unsigned long size) { return std::malloc(size); }

void QDW_CAB_CALL WriterFree(void* memory) { std::free(memory); }

intptr_t QDW_CAB_CALL WriterOpen(char* path, int oflag, int pmode, int* err, void*) {
  try {
    return RuntimeFiles::Instance().Open(path, oflag, pmode, err);
  } catch (...) {
    *err = archive::kErrnoNoMemory;
    return -1;
  }
}

unsigned int QDW_CAB_CALL WriterRead(intptr_t handle, void* memory, unsigned int count, int* err,
                                     void*) {
  return RuntimeFiles::Instance().Read(handle, memory, count, err);
}

unsigned int QDW_CAB_CALL WriterWrite(intptr_t handle, void* memory, unsigned int count, int* err,
                                      void*) {
  return RuntimeFiles::Instance().Write(handle, memory, count, err);
}

int QDW_CAB_CALL WriterClose(intptr_t handle, int* err, void*) {
  return RuntimeFiles::Instance().Close(handle, err);
}

long QDW_CAB_CALL WriterSeek(intptr_t handle, long distance, int origin, int* err, void*) {
  return RuntimeFiles::Instance().Seek(handle, distance, origin, err);
}

int QDW_CAB_CALL WriterDelete(char* path, int* err, void*) {
  return RuntimeFiles::Instance().Remove(path, err);
}

int QDW_CAB_CALL WriterTempName(char* name, int size, void*) {
  try {
    std::string path;
    if (platform::DefaultPlatform().files().TempFileName("xx", &path) != platform::kSuccess) {
      return 0;
    }
    if (path.empty() || size <= 0 || path.size() >= static_cast<size_t>(size)) return 0;
    std::memcpy(name, path.c_str(), path.size() + 1);
    return 1;
  } catch (...) {
    return 0;
  }
}

int QDW_CAB_CALL WriterFilePlaced(PCCAB, char*, long, int, void*) { return 0; }

long QDW_CAB_CALL WriterStatus(unsigned int type, unsigned long, unsigned long uncompressed,
                               void*) {
  // Each compressed block reports the bytes it took from the files.
  if (type == statusFile) {
    CompressorState& state = ProcessState();
    state.bytes_packed += uncompressed;
    state.ReportProgress();
  }
  return 0;
}

int QDW_CAB_CALL WriterNextCabinet(PCCAB ccab, unsigned long, void*) {
  try {
    CompressorState& state = ProcessState();
    std::string name = ContinuationVolumeName(state.first_volume_name, ccab->iCab);
    // A name the volume header cannot hold stops the packing instead of being cut short.
    if (name.size() >= sizeof(ccab->szCab)) return 0;
    std::memcpy(ccab->szCab, name.c_str(), name.size() + 1);
    state.last_continuation_name = name;
    state.volume = ccab->iCab;
    state.ReportProgress();
    return 1;
  } catch (...) {
    return 0;
  }
}

intptr_t QDW_CAB_CALL WriterOpenForAdding(char* path, unsigned short* dos_date,
                                          unsigned short* dos_time, unsigned short* attributes,
                                          int* err, void*) {
  try {
    if (path == nullptr || std::strlen(path) >= platform::kMaxPath) return -1;
    platform::Platform& machine = platform::DefaultPlatform();
    std::unique_ptr<platform::File> file;
    platform::WinError opened = machine.files().Open(
        path, platform::kGenericRead, platform::kShareRead, platform::Disposition::kOpenExisting,
        platform::kAttrNormal | platform::kFlagSequentialScan, &file);
    if (opened != platform::kSuccess || file == nullptr) return -1;
    platform::FileTimes times;
    if (file->Times(&times) != platform::kSuccess) return -1;
    uint16_t date = 0;
    uint16_t time = 0;
    archive::UtcToLocalDosDateTime(machine.system(), times.last_write, &date, &time);
    *dos_date = date;
    *dos_time = time;
    uint32_t bits = 0;
    const std::optional<uint32_t>& listed = ProcessState().listed_attributes;
    if (listed) {
      bits = *listed;
    } else if (machine.files().ReadAttributes(path, &bits) != platform::kSuccess) {
      bits = 0;
    }
    *attributes = static_cast<unsigned short>(bits & kStoredAttributeMask);
    // The data is read through the same handle: a second open per file cost as much as the
    // rest of the file's bookkeeping in a tree of small files.
    return RuntimeFiles::Instance().Adopt(std::move(file), err);
  } catch (...) {
    return -1;
  }
}

}  // namespace qdw::compressor
