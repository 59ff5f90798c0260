#include "Compressor/compress_error_text.h"

namespace qdw::compressor {
namespace {

constexpr const char* kTexts[] = {
    "No error.",
    "Failure opening file to be stored in cabinet.",
    "Failure reading file to be stored in cabinet.",
    "Insufficient memory in FCI.",
    "Could not create a temporary file.",
    "Unknown compression type.",
    "Could not create cabinet file.",
    "Client requested abort.",
    "Failure compressing data.",
};

}  // namespace

const char* CompressErrorText(int code) {
  // Codes are taken as unsigned, so negative ones fall outside the table too.
  unsigned int index = static_cast<unsigned int>(code);
  return index < sizeof(kTexts) / sizeof(kTexts[0]) ? kTexts[index] : "Unknown error.";
}

}  // namespace qdw::compressor
