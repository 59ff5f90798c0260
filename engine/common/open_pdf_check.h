// Finding PDF files in a tree that another program holds open. Files are only opened, never
// created: the check runs on the live repository.
#ifndef QDW_ENGINE_COMMON_OPEN_PDF_CHECK_H_
#define QDW_ENGINE_COMMON_OPEN_PDF_CHECK_H_

#include <string>

#include "engine/common/engine_state.h"
#include "platform/file_system.h"

namespace qdw::engine {

class OpenPdfCheck {
 public:
  OpenPdfCheck(platform::FileSystem& files, EngineState& state) : files_(files), state_(state) {}

  // True when a PDF file in the tree of `folder` cannot be opened for reading; the names of
  // such files are appended to the state's open-PDF list. A folder that cannot be listed
  // reports whether the list already holds names.
  bool HasOpenPdf(const std::string& folder);

 private:
  platform::FileSystem& files_;
  EngineState& state_;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_OPEN_PDF_CHECK_H_
