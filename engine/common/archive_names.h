// How the product's folders, the files of an archive set and its content are named, as the
// backup writes them and the restore reads them back.
#ifndef QDW_ENGINE_COMMON_ARCHIVE_NAMES_H_
#define QDW_ENGINE_COMMON_ARCHIVE_NAMES_H_

namespace qdw::engine {

// The product folder below a repository path (and below the work and temporary folders), and
// the two trees in it that a backup carries.
inline constexpr char kProductFolderName[] = "VARNOLD";
inline constexpr char kRepositoryTree[] = "QDW";
inline constexpr char kRepositoryExtraTree[] = "QDWie";

// Volumes: one volume is base + ".qdw"; a set of K volumes is base + "_bak" + K + ".qdw"
// followed by base + "_add" + i + ".qdw" for i = 2 to K, in the same folder.
inline constexpr char kArchiveExtension[] = ".qdw";
inline constexpr char kFirstVolumeMark[] = "_bak";
inline constexpr char kContinuationMark[] = "_add";
// More volumes than a cabinet set can chain; a count beyond it is a broken name.
inline constexpr int kMaxVolumeCount = 65535;

// The record of the product's shares in the root of the archive, and the fence around a
// share's remark in it.
inline constexpr char kShareInfoFileName[] = "BackupShareInfo.txt";
inline constexpr char kRemarkFence[] = "!vnqdw!";

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_ARCHIVE_NAMES_H_
