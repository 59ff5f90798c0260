// C entry points of the decompression interface. They check the handle, keep C++ exceptions
// inside the library and turn them into the error record.
#include <new>

#include "cabinet/cab_extraction.h"
#include "cabinet/fdi.h"
#include "cabinet/volume_index.h"

namespace qdw::cab {
namespace {

constexpr uint32_t kFdiMagic = 0x49444651;  // "QFDI"

struct FdiContext {
  uint32_t magic = kFdiMagic;
  PERF erf = nullptr;
  FdiEngine* engine = nullptr;
};

FdiContext* ContextOf(HFDI hfdi) {
  auto* context = static_cast<FdiContext*>(hfdi);
  return context != nullptr && context->magic == kFdiMagic ? context : nullptr;
}

int Report(PERF erf, int code) {
  if (code == FDIERROR_NONE) return 1;
  if (erf != nullptr) {
    erf->erfOper = code;
    erf->erfType = 0;
    erf->fError = 1;
  }
  return 0;
}

}  // namespace
}  // namespace qdw::cab

using qdw::cab::CabExtraction;
using qdw::cab::FdiCallbacks;
using qdw::cab::FdiContext;
using qdw::cab::FdiEngine;
using qdw::cab::MemoryCallbacks;

extern "C" {

QDW_CAB_API HFDI QDW_CAB_CALL FDICreate(PFNALLOC pfnalloc, PFNFREE pfnfree, PFNOPEN pfnopen,
                                        PFNREAD pfnread, PFNWRITE pfnwrite, PFNCLOSE pfnclose,
                                        PFNSEEK pfnseek, int, PERF perf) {
  if (perf != nullptr) *perf = ERF{};
  FdiCallbacks io{pfnopen, pfnread, pfnwrite, pfnclose, pfnseek};
  if (pfnalloc == nullptr || pfnfree == nullptr || !io.Complete()) {
    qdw::cab::Report(perf, FDIERROR_ALLOC_FAIL);
    return nullptr;
  }
  MemoryCallbacks memory{pfnalloc, pfnfree};
  auto* context = qdw::cab::NewObject<FdiContext>(memory);
  if (context == nullptr) {
    qdw::cab::Report(perf, FDIERROR_ALLOC_FAIL);
    return nullptr;
  }
  context->erf = perf;
  context->engine = qdw::cab::NewObject<FdiEngine>(memory, memory, io);
  bool ready = false;
  try {
    ready = context->engine != nullptr && context->engine->stream.Init(qdw::cab::DecodingThreads());
  } catch (const std::bad_alloc&) {
  }
  if (!ready) {
    qdw::cab::DeleteObject(memory, context->engine);
    qdw::cab::DeleteObject(memory, context);
    qdw::cab::Report(perf, FDIERROR_ALLOC_FAIL);
    return nullptr;
  }
  return context;
}

QDW_CAB_API int QDW_CAB_CALL FDIIsCabinet(HFDI hfdi, intptr_t hf, PFDICABINETINFO pfdici) {
  FdiContext* context = qdw::cab::ContextOf(hfdi);
  if (context == nullptr) return 0;
  int code = FDIERROR_NONE;
  try {
    qdw::cab::VolumeIndex index(&context->engine->memory);
    code = index.Read(context->engine->io, hf, qdw::cab::VolumeIndex::Depth::kHeader);
    if (code == FDIERROR_NONE && pfdici != nullptr) {
      const qdw::cab::HeaderFields& header = index.header();
      pfdici->cbCabinet = static_cast<long>(header.cbCabinet);
      pfdici->cFolders = header.cFolders;
      pfdici->cFiles = header.cFiles;
      pfdici->setID = header.setID;
      pfdici->iCabinet = header.iCabinet;
      pfdici->fReserve = (header.flags & qdw::cab::kFlagReservePresent) != 0;
      pfdici->hasprev = index.has_prev();
      pfdici->hasnext = index.has_next();
    }
  } catch (const std::bad_alloc&) {
    code = FDIERROR_ALLOC_FAIL;
  }
  return qdw::cab::Report(context->erf, code);
}

QDW_CAB_API int QDW_CAB_CALL FDICopy(HFDI hfdi, char* pszCabinet, char* pszCabPath, int,
                                     PFNFDINOTIFY pfnfdin, PFNFDIDECRYPT, void* pvUser) {
  FdiContext* context = qdw::cab::ContextOf(hfdi);
  if (context == nullptr) return 0;
  if (pfnfdin == nullptr || context->engine->busy) {
    return qdw::cab::Report(context->erf, FDIERROR_USER_ABORT);
  }
  context->engine->busy = true;
  int code = FDIERROR_NONE;
  try {
    CabExtraction extraction(context->engine, pfnfdin, pvUser);
    code = extraction.Run(pszCabinet, pszCabPath);
  } catch (const std::bad_alloc&) {
    code = FDIERROR_ALLOC_FAIL;
  }
  context->engine->busy = false;
  return qdw::cab::Report(context->erf, code);
}

QDW_CAB_API int QDW_CAB_CALL FDIDestroy(HFDI hfdi) {
  FdiContext* context = qdw::cab::ContextOf(hfdi);
  if (context == nullptr || context->engine->busy) return 0;
  MemoryCallbacks memory = context->engine->memory;
  qdw::cab::DeleteObject(memory, context->engine);
  context->magic = 0;
  qdw::cab::DeleteObject(memory, context);
  return 1;
}

}  // extern "C"
