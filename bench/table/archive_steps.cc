#include "bench/table/archive_steps.h"

#include <cstdio>

#include "Compressor/compressor.h"
#include "Extractor/extractor.h"

namespace qdw::bench {

int CompressStep(int argc, char** argv) {
  if (argc != 2) return 2;
  char last[QDW_LAST_VOLUME_NAME_SIZE] = {0};
  int result = Compress(argv[0], argv[1], last);
  if (result != 0) std::fprintf(stderr, "Compress: %d %s\n", result, GetCompressErrText(result));
  return result == 0 ? 0 : 1;
}

int ExtractStep(int argc, char** argv) {
  if (argc < 2) return 2;
  for (int i = 0; i + 1 < argc; ++i) {
    int result = Extract(argv[i], argv[argc - 1]);
    if (result != 0) {
      std::fprintf(stderr, "Extract %s: %d %s\n", argv[i], result, GetExtractErrText(result));
      return 1;
    }
  }
  return 0;
}

}  // namespace qdw::bench
