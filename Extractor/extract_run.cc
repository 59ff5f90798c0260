#include "Extractor/extract_run.h"

#include <string>

#include "Extractor/extractor_state.h"
#include "Extractor/file_notifications.h"
#include "Extractor/reader_callbacks.h"
#include "archive/cabinet_module.h"
#include "archive/runtime_files.h"
#include "cabinet/fdi.h"
#include "platform/file_checks.h"
#include "platform/platform.h"
#include "platform/process_code_page.h"
#include "platform/windows_path.h"

namespace qdw::extractor {
namespace {

using FdiCreateEntry = decltype(&FDICreate);
using FdiCopyEntry = decltype(&FDICopy);
using FdiIsCabinetEntry = decltype(&FDIIsCabinet);
using FdiDestroyEntry = decltype(&FDIDestroy);

bool IsEmpty(const char* text) { return text == nullptr || *text == '\0'; }

// Destroys the context and releases the library when that worked; a context that could not
// be destroyed keeps the library loaded.
void Finish(HFDI context, FdiDestroyEntry destroy, archive::CabinetModule* cabinet) {
  if (destroy(context)) {
    cabinet->Release();
  } else {
    cabinet->Abandon();
  }
  archive::RuntimeFiles::Instance().CloseAll();
  ProcessState().pending.Clear();
}

int CopyVolume(const std::string& cabinet_path, archive::CabinetModule* cabinet) {
  auto create = cabinet->Entry<FdiCreateEntry>("FDICreate");
  auto copy = cabinet->Entry<FdiCopyEntry>("FDICopy");
  auto is_cabinet = cabinet->Entry<FdiIsCabinetEntry>("FDIIsCabinet");
  auto destroy = cabinet->Entry<FdiDestroyEntry>("FDIDestroy");
  if (create == nullptr || copy == nullptr || is_cabinet == nullptr || destroy == nullptr) {
    return kExtractFailed;
  }

  ERF error{};
  HFDI context = create(ReaderAllocate, ReaderFree, ReaderOpen, ReaderRead, ReaderWrite,
                        ReaderClose, ReaderSeek, cpu80386, &error);
  if (context == nullptr) return error.erfOper != 0 ? error.erfOper : kExtractFailed;

  std::string drive;
  std::string dir;
  std::string file_name;
  std::string extension;
  platform::SplitPath(cabinet_path, &drive, &dir, &file_name, &extension);
  std::string folder = drive + dir;
  std::string name = file_name + extension;
  // Names the cabinet library's buffers cannot hold are files it could never open.
  bool fits = cabinet_path.size() < platform::kMaxPath && folder.size() < CB_MAX_CAB_PATH &&
              name.size() < CB_MAX_CABINET_NAME;
  intptr_t volume = fits ? ReaderOpen(const_cast<char*>(cabinet_path.c_str()),
                                      CAB_O_RDONLY | CAB_O_BINARY | CAB_O_SEQUENTIAL, 0)
                         : -1;
  if (volume == -1) {
    Finish(context, destroy, cabinet);
    return kCabinetNotOpened;
  }
  FDICABINETINFO info{};
  bool recognised = is_cabinet(context, volume, &info) != 0;
  ReaderClose(volume);
  if (!recognised) {
    Finish(context, destroy, cabinet);
    return kNotACabinet;
  }

  ExtractorState& state = ProcessState();
  state.refusal = 0;
  state.known_folder.clear();
  bool copied = copy(context, name.data(), folder.data(), 0, ReaderNotify, nullptr, nullptr) != 0;
  int code = error.erfOper;
  // The files unpacked before a failure are put in place as they would be one by one; the
  // volume's own failure is the one reported.
  const int refused = state.refusal;
  const bool flushed = state.FlushPending();
  if (!copied) {
    state.refusal = refused;
  } else if (!flushed) {
    copied = false;
    code = FDIERROR_USER_ABORT;
  }
  Finish(context, destroy, cabinet);
  if (copied) return 0;
  if (state.refusal != 0) return state.refusal;
  return code != 0 ? code : kExtractFailed;
}

}  // namespace

int RunExtract(const char* cabinet_path, const char* destination_folder) {
  if (IsEmpty(cabinet_path) || IsEmpty(destination_folder)) return kExtractFailed;
  platform::AdoptSystemCodePage(platform::DefaultPlatform().system());
  try {
    ExtractorState& state = ProcessState();
    state.cabinet_bytes_read = 0;
    state.files_written = 0;
    state.destination = destination_folder;
    if (!platform::EndsWithSeparator(state.destination)) state.destination += '\\';
    if (state.destination.size() >= platform::kMaxPath ||
        !platform::FolderExistsAsWritten(platform::DefaultPlatform().files(), state.destination)) {
      return kNoDestinationFolder;
    }
    archive::CabinetModule cabinet;
    if (!cabinet.Load()) return kExtractFailed;
    return CopyVolume(cabinet_path, &cabinet);
  } catch (...) {
    archive::RuntimeFiles::Instance().CloseAll();
    ProcessState().pending.Clear();
    return kExtractFailed;
  }
}

}  // namespace qdw::extractor
