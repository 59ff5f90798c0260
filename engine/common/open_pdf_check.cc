#include "engine/common/open_pdf_check.h"

#include <memory>
#include <vector>

#include "engine/common/folder_listing.h"
#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::engine {

bool OpenPdfCheck::HasOpenPdf(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  if (!ListFolderNames(files_, folder, &entries)) return !state_.open_pdfs.empty();

  bool found = false;
  for (const platform::DirEntry& entry : entries) {
    const std::string path = platform::JoinPath(folder, entry.name);
    if (IsFolder(entry)) {
      // A junction's PDFs are another folder's, which the backup does not copy.
      if (!platform::IsReparsePoint(entry) && HasOpenPdf(path)) found = true;
      continue;
    }
    size_t dot = entry.name.rfind('.');
    if (dot == std::string::npos || platform::LowerAnsi(entry.name.substr(dot + 1)) != "pdf") {
      continue;
    }
    std::unique_ptr<platform::File> file;
    platform::WinError error =
        files_.Open(path, platform::kGenericRead, platform::kShareRead,
                    platform::Disposition::kOpenExisting, platform::kAttrNormal, &file);
    // A file that vanished since the listing is not held by anybody.
    if (error == platform::kSuccess || error == platform::kErrorFileNotFound ||
        error == platform::kErrorPathNotFound) {
      continue;
    }
    state_.open_pdfs.push_back(entry.name);
    found = true;
  }
  return found;
}

}  // namespace qdw::engine
