#include "Extractor/extract_error_text.h"

namespace qdw::extractor {
namespace {

constexpr const char* kTexts[] = {
    "No error.",
    "Cabinet not found.",
    "Not a cabinet.",
    "Unknown cabinet version",
    "Corrupt cabinet.",
    "Memory allocation failed.",
    "Unknown compression type.",
    "Failure decompressing data.",
    "Failure writing to target file.",
    "Cabinets in set have different RESERVE sizes.",
    "Cabinet returned on fdintNEXT_CABINET is incorrect.",
    "User aborted.",
};

}  // namespace

const char* ExtractErrorText(int code) {
  // Codes are taken as unsigned, so negative ones fall outside the table too.
  unsigned int index = static_cast<unsigned int>(code);
  return index < sizeof(kTexts) / sizeof(kTexts[0]) ? kTexts[index] : "Unknown error";
}

}  // namespace qdw::extractor
