#include "Compressor/compress_run.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <exception>
#include <random>
#include <string>

#include "Compressor/compressor.h"
#include "Compressor/compressor_state.h"
#include "Compressor/tree_adder.h"
#include "Compressor/writer_callbacks.h"
#include "archive/cabinet_module.h"
#include "archive/runtime_files.h"
#include "cabinet/fci.h"
#include "platform/windows_path.h"

namespace qdw::compressor {
namespace {

// A new compression folder is begun once a folder holds this many bytes.
constexpr unsigned long kFolderThreshold = 900000;

// An identifier of the set's own, so that volumes of two sets written under one name are never
// taken for one set: the reader refuses a continuation whose identifier differs. Mixed from a
// random source, the clock and a counter, since a test machine's clock may stand still.
unsigned short NewSetIdentifier() {
  static std::atomic<unsigned> calls{0};
  std::random_device random;
  const uint64_t mixed =
      (static_cast<uint64_t>(random()) << 20) ^
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<uint64_t>(++calls) * 0x9E3779B97F4A7C15ull);
  return static_cast<unsigned short>((mixed >> 16) ^ (mixed >> 40) ^ mixed);
}

using FciCreateEntry = decltype(&FCICreate);
using FciFlushCabinetEntry = decltype(&FCIFlushCabinet);
using FciFlushFolderEntry = decltype(&FCIFlushFolder);
using FciDestroyEntry = decltype(&FCIDestroy);

bool IsEmpty(const char* text) { return text == nullptr || *text == '\0'; }

// Fills the cabinet parameters for the set whose first volume is `archive_path`. False when
// its folder or name does not fit the parameters' buffers (or the path the 260 limit).
bool FillCabinetParameters(const std::string& archive_path, CCAB* ccab) {
  std::string drive;
  std::string dir;
  std::string file_name;
  std::string extension;
  platform::SplitPath(archive_path, &drive, &dir, &file_name, &extension);
  std::string folder = drive + dir;
  std::string name = file_name + extension;
  if (archive_path.size() >= platform::kMaxPath || folder.size() >= sizeof(ccab->szCabPath) ||
      name.size() >= sizeof(ccab->szCab)) {
    return false;
  }
  *ccab = CCAB{};
  ccab->cb = 0;
  ccab->cbFolderThresh = kFolderThreshold;
  ccab->iCab = 1;
  ccab->iDisk = 0;
  ccab->fFailOnIncompressible = 0;
  ccab->setID = NewSetIdentifier();
  std::memcpy(ccab->szCab, name.c_str(), name.size() + 1);
  std::memcpy(ccab->szCabPath, folder.c_str(), folder.size() + 1);
  return true;
}

void CopyLastVolumeName(const std::string& name, char* buffer) {
  if (buffer == nullptr) return;
  size_t length =
      name.size() < QDW_LAST_VOLUME_NAME_SIZE ? name.size() : QDW_LAST_VOLUME_NAME_SIZE - 1;
  std::memcpy(buffer, name.data(), length);
  buffer[length] = '\0';
}

// An error record without a code after a failure still must not read as success.
int CodeOf(const ERF& error) { return error.erfOper != 0 ? error.erfOper : kCompressFailed; }

}  // namespace

int RunCompress(const char* source_folder, const char* archive_path, char* last_volume_name) {
  if (IsEmpty(archive_path) || IsEmpty(source_folder)) return kCompressFailed;
  CompressorState& state = ProcessState();
  state.last_continuation_name.clear();
  state.bytes_packed = 0;
  state.volume = 1;

  HFCI context = nullptr;
  FciDestroyEntry destroy = nullptr;
  archive::CabinetModule cabinet;
  try {
    CCAB ccab;
    if (!FillCabinetParameters(archive_path, &ccab)) return FCIERR_CAB_FILE;
    state.first_volume_name = ccab.szCab;

    if (!cabinet.Load()) return kCompressFailed;
    auto create = cabinet.Entry<FciCreateEntry>("FCICreate");
    auto add_file = cabinet.Entry<FciAddFileEntry>("FCIAddFile");
    auto flush_cabinet = cabinet.Entry<FciFlushCabinetEntry>("FCIFlushCabinet");
    (void)cabinet.Entry<FciFlushFolderEntry>("FCIFlushFolder");  // looked up, never needed
    destroy = cabinet.Entry<FciDestroyEntry>("FCIDestroy");
    if (create == nullptr || add_file == nullptr || flush_cabinet == nullptr ||
        destroy == nullptr) {
      return kCompressFailed;
    }

    ERF error{};
    context =
        create(&error, WriterFilePlaced, WriterAllocate, WriterFree, WriterOpen, WriterRead,
               WriterWrite, WriterClose, WriterSeek, WriterDelete, WriterTempName, &ccab, nullptr);
    if (context == nullptr) {
      archive::RuntimeFiles::Instance().CloseAll();
      return CodeOf(error);
    }

    std::string root = source_folder;
    if (!platform::EndsWithSeparator(root)) root += '\\';
    int result = TreeAdder(context, add_file, &error, root).AddFolder("");
    if (result == 0 && !flush_cabinet(context, 0, WriterNextCabinet, WriterStatus)) {
      result = CodeOf(error);
    }

    HFCI finished = context;
    context = nullptr;
    if (destroy(finished)) {
      cabinet.Release();
    } else {
      cabinet.Abandon();
    }
    archive::RuntimeFiles::Instance().CloseAll();
    CopyLastVolumeName(state.last_continuation_name, last_volume_name);
    return result;
  } catch (...) {
    if (context != nullptr && destroy != nullptr) {
      if (!destroy(context)) cabinet.Abandon();
      CopyLastVolumeName(state.last_continuation_name, last_volume_name);
    }
    archive::RuntimeFiles::Instance().CloseAll();
    return kCompressFailed;
  }
}

}  // namespace qdw::compressor
