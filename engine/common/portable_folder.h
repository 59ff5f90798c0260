// The portable form of a shared folder in the share information file: folders below the
// product's data folder, the user's desktop, documents or profile are written relative to
// that place behind a marker, which the restore side replaces by the restoring user's place.
#ifndef QDW_ENGINE_COMMON_PORTABLE_FOLDER_H_
#define QDW_ENGINE_COMMON_PORTABLE_FOLDER_H_

#include <string>

namespace qdw::engine {

inline constexpr char kDataFolderMarker[] = "DATAVNQDWPATH";
inline constexpr char kDesktopMarker[] = "OSVNQDWDESKTOP";
inline constexpr char kDocumentsMarker[] = "OSVNQDWMYDOCUMENT";
inline constexpr char kProfileMarker[] = "OSVNQDWEACHUSER";

// The product's data folder below a repository path.
inline constexpr char kDataFolderSuffix[] = "\\VARNOLD\\QDW\\Quillon Deskora";

class PortableFolders {
 public:
  // Places as the backing-up user sees them; an empty text is a place the machine lacks.
  // The profile folder is the desktop folder up to its last "\".
  PortableFolders(const std::string& repository_path, const std::string& desktop,
                  const std::string& documents);

  // `folder` in portable form: the first place it lies in, in the order data folder,
  // desktop, documents, profile, decides; otherwise the folder unchanged.
  std::string Portable(const std::string& folder) const;

  // True when `folder` is the product's data folder or lies below it.
  bool InDataFolder(const std::string& folder) const;

 private:
  std::string repository_path_;
  std::string data_folder_;
  std::string desktop_;
  std::string documents_;
  std::string profile_;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_PORTABLE_FOLDER_H_
