// The C exports of the archive writer library.
#include "Compressor/compress_error_text.h"
#include "Compressor/compress_run.h"
#include "Compressor/compressor.h"
#include "Compressor/compressor_state.h"

extern "C" {

QDW_COMPRESSOR_API int Compress(const char* sourceFolder, const char* archivePath,
                                char* lastVolumeName) {
  return qdw::compressor::RunCompress(sourceFolder, archivePath, lastVolumeName);
}

QDW_COMPRESSOR_API void SetCompressProgress(QdwCompressProgress progress, void* context) {
  qdw::compressor::CompressorState& state = qdw::compressor::ProcessState();
  state.progress = progress;
  state.progress_context = context;
}

QDW_COMPRESSOR_API const char* GetCompressErrText(int code) {
  return qdw::compressor::CompressErrorText(code);
}

}  // extern "C"
