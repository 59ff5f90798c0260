// Numbers of the strings of the resource module that the engines show, and of the messages the
// run sequence shows for their result codes (lingvault/string_ids.txt describes every string).
// The application shell's own texts, templates and controls are in app/resource_ids.h.
#ifndef QDW_ENGINE_COMMON_MESSAGE_IDS_H_
#define QDW_ENGINE_COMMON_MESSAGE_IDS_H_

namespace qdw::engine {

// Captions.
inline constexpr int kTextCancel = 2;
inline constexpr int kTextOpenFailureList = 180;     // custom box: view the failure list
inline constexpr int kTextContinueBackup = 182;      // custom box: go on despite open PDF files
inline constexpr int kTextDoNotOpen = 184;           // custom box: close without viewing
inline constexpr int kTextDefaultShareRemark = 163;  // "Quillon Deskora " + this + " -" + name

// What the backup engine asks and tells.
inline constexpr int kMsgReplaceArchive = 118;
inline constexpr int kMsgDriveUnusable = 120;  // also the refused temporary folder of a restore
inline constexpr int kMsgBadNameCharacter = 156;
inline constexpr int kMsgPathTooLong = 157;
inline constexpr int kMsgReplaceVolumes = 164;
inline constexpr int kMsgVolumesWritten = 166;
inline constexpr int kMsgRestoreFrom = 167;
inline constexpr int kMsgNameHasBak = 174;
inline constexpr int kMsgFilesLocked = 179;
inline constexpr int kMsgOpenPdfsDuringBackup = 181;
// Files in use stop a restore (the product-folder step), or could not be deleted by it.
inline constexpr int kMsgFilesInUse = 183;
inline constexpr int kMsgUnsafeDestination = 185;

// What the restore engine asks and tells.
inline constexpr int kMsgArchiveNotFound = 119;
inline constexpr int kMsgUnusableDrives = 158;
inline constexpr int kMsgFoldersInTheWay = 159;
inline constexpr int kMsgContinuationChosen = 168;
inline constexpr int kMsgVolumesMissing = 169;

// The messages of the result codes (engine/common/result_codes.h).
inline constexpr int kMsgProductNotSetUp = 108;  // also refuses the start of the program
inline constexpr int kMsgProductRunning = 110;   // also refuses the start of the program
inline constexpr int kMsgIndexingQueryFailed = 111;
inline constexpr int kMsgIndexingStopFailed = 112;
inline constexpr int kMsgSharedFolderQueryFailed = 113;
inline constexpr int kMsgSharedFolderStopFailed = 114;
inline constexpr int kMsgWorkFolderNotCreated = 126;
inline constexpr int kMsgRepositoryMissing = 127;
inline constexpr int kMsgRepositoryCopyFailed = 128;
inline constexpr int kMsgWorkingCopyNotListed = 129;
inline constexpr int kMsgArchiveNotWritten = 130;
inline constexpr int kMsgSharedFolderListUnreadable = 131;
inline constexpr int kMsgShareInfoNotSaved = 132;
inline constexpr int kMsgTempCopyFailed = 133;
inline constexpr int kMsgArchiveNotUnpacked = 134;
inline constexpr int kMsgProductFolderNotCreated = 135;
inline constexpr int kMsgRestoredFolderNotMovedIn = 136;
inline constexpr int kMsgSharesNotRestored = 137;
inline constexpr int kMsgCatalogNotHidden = 144;
inline constexpr int kMsgOperationCancelled = 147;
inline constexpr int kMsgNotThisToolsArchive = 152;
inline constexpr int kMsgRestoreIncomplete = 161;
inline constexpr int kMsgSharedFoldersNeedSettings = 162;
inline constexpr int kMsgArchiveNotMoved = 165;
inline constexpr int kMsgCabinetOrDatabaseMissing = 170;
inline constexpr int kMsgFormerFormat = 176;

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_MESSAGE_IDS_H_
