// The module one test program checks; the build compiles this file once per language.
#include "tests/platform/resources/lingvault_fixture.h"

namespace qdw::resources::testing {

std::string LingvaultPath() { return QDW_LINGVAULT_DLL; }
std::string LingvaultLanguage() { return QDW_LINGVAULT_LANGUAGE; }
int LingvaultCodePage() { return QDW_LINGVAULT_CODE_PAGE; }
uint16_t LingvaultLanguageId() { return QDW_LINGVAULT_LANGUAGE_ID; }
std::string LingvaultListDir() { return QDW_LINGVAULT_DIR; }

}  // namespace qdw::resources::testing
