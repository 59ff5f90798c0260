// C entry points of the compression interface. They check the handle, keep C++ exceptions
// inside the library and turn them into the error record.
#include <new>

#include "cabinet/cab_writer.h"
#include "cabinet/fci.h"

namespace qdw::cab {
namespace {

// Marks a live context, so a stale or foreign handle is refused instead of used.
constexpr uint32_t kFciMagic = 0x49434651;  // "QFCI"

struct FciContext {
  uint32_t magic = kFciMagic;
  MemoryCallbacks memory;
  CabinetWriter* writer = nullptr;
};

FciContext* ContextOf(HFCI hfci) {
  auto* context = static_cast<FciContext*>(hfci);
  return context != nullptr && context->magic == kFciMagic ? context : nullptr;
}

void SetError(PERF perf, int code) {
  if (perf == nullptr) return;
  perf->erfOper = code;
  perf->erfType = 0;
  perf->fError = 1;
}

template <typename Call>
int Guarded(HFCI hfci, Call call) {
  FciContext* context = ContextOf(hfci);
  if (context == nullptr) return 0;
  try {
    return call(context->writer) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return context->writer->Fail(FCIERR_ALLOC_FAIL) ? 1 : 0;
  } catch (...) {
    return context->writer->Fail(FCIERR_MCI_FAIL) ? 1 : 0;
  }
}

}  // namespace
}  // namespace qdw::cab

using qdw::cab::CabinetWriter;
using qdw::cab::FciCallbacks;
using qdw::cab::FciContext;
using qdw::cab::MemoryCallbacks;

extern "C" {

QDW_CAB_API HFCI QDW_CAB_CALL FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna,
                                        PFNFCIFREE pfnf, PFNFCIOPEN pfnopen, PFNFCIREAD pfnread,
                                        PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose,
                                        PFNFCISEEK pfnseek, PFNFCIDELETE pfndelete,
                                        PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv) {
  if (perf != nullptr) *perf = ERF{};
  if (pfna == nullptr || pfnf == nullptr) {
    qdw::cab::SetError(perf, FCIERR_ALLOC_FAIL);
    return nullptr;
  }
  FciCallbacks io{pfnfcifp, pfnopen,   pfnread,   pfnwrite, pfnclose,
                  pfnseek,  pfndelete, pfnfcigtf, pv};
  if (!io.Complete()) {
    qdw::cab::SetError(perf, FCIERR_TEMP_FILE);
    return nullptr;
  }
  if (pccab == nullptr) {
    qdw::cab::SetError(perf, FCIERR_CAB_FILE);
    return nullptr;
  }
  MemoryCallbacks memory{pfna, pfnf};
  auto* context = qdw::cab::NewObject<FciContext>(memory);
  if (context == nullptr) {
    qdw::cab::SetError(perf, FCIERR_ALLOC_FAIL);
    return nullptr;
  }
  context->memory = memory;
  context->writer = qdw::cab::NewObject<CabinetWriter>(memory, io, context->memory, perf, *pccab);
  bool ready = false;
  if (context->writer == nullptr) {
    qdw::cab::SetError(perf, FCIERR_ALLOC_FAIL);
  } else {
    try {
      ready = context->writer->Init();
    } catch (const std::bad_alloc&) {
      qdw::cab::SetError(perf, FCIERR_ALLOC_FAIL);
    }
  }
  if (!ready) {
    qdw::cab::DeleteObject(memory, context->writer);
    qdw::cab::DeleteObject(memory, context);
    return nullptr;
  }
  return context;
}

QDW_CAB_API int QDW_CAB_CALL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName,
                                        int fExecute, PFNFCIGETNEXTCABINET pfnfcignc,
                                        PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi,
                                        TCOMP typeCompress) {
  return qdw::cab::Guarded(hfci, [&](CabinetWriter* writer) {
    return writer->AddFile(pszSourceFile, pszFileName, fExecute != 0, pfnfcignc, pfnfcis, pfnfcigoi,
                           typeCompress);
  });
}

QDW_CAB_API int QDW_CAB_CALL FCIFlushCabinet(HFCI hfci, int fGetNextCab,
                                             PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis) {
  return qdw::cab::Guarded(hfci, [&](CabinetWriter* writer) {
    return writer->FlushCabinet(fGetNextCab != 0, pfnfcignc, pfnfcis);
  });
}

QDW_CAB_API int QDW_CAB_CALL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc,
                                            PFNFCISTATUS pfnfcis) {
  return qdw::cab::Guarded(
      hfci, [&](CabinetWriter* writer) { return writer->FlushFolder(pfnfcignc, pfnfcis); });
}

QDW_CAB_API int QDW_CAB_CALL FCIDestroy(HFCI hfci) {
  FciContext* context = qdw::cab::ContextOf(hfci);
  if (context == nullptr) return 0;
  MemoryCallbacks memory = context->memory;
  qdw::cab::DeleteObject(memory, context->writer);
  context->magic = 0;
  qdw::cab::DeleteObject(memory, context);
  return 1;
}

}  // extern "C"
