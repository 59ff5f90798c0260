// The C exports of the archive reader library.
#include "Extractor/extract_error_text.h"
#include "Extractor/extract_run.h"
#include "Extractor/extractor.h"
#include "Extractor/extractor_state.h"

extern "C" {

QDW_EXTRACTOR_API int Extract(const char* cabinetPath, const char* destinationFolder) {
  return qdw::extractor::RunExtract(cabinetPath, destinationFolder);
}

QDW_EXTRACTOR_API void SetExtractProgress(QdwExtractProgress progress, void* context) {
  qdw::extractor::ExtractorState& state = qdw::extractor::ProcessState();
  state.progress = progress;
  state.progress_context = context;
}

QDW_EXTRACTOR_API const char* GetExtractErrText(int code) {
  return qdw::extractor::ExtractErrorText(code);
}

}  // extern "C"
