// The result codes of a run, in one place: what the backup engine, the restore engine and the
// run sequence return or raise, and what the run sequence turns into the message the user sees
// (app/result_messages.cc). A code is a signed integer; 0 is success.
#ifndef QDW_ENGINE_COMMON_RESULT_CODES_H_
#define QDW_ENGINE_COMMON_RESULT_CODES_H_

namespace qdw::engine {

inline constexpr int kResultOk = 0;
// The run sequence's own stop before any engine ran: the user declined the restore, or the
// backup destination lies in a folder the tool must not write to. Shares the value of success.
inline constexpr int kResultDeclined = 0;
// An engine refused its inputs or the user stopped; the engine has shown its message, and the
// run writes no log line and shows no outcome.
inline constexpr int kResultAbandoned = 100;

// Backup engine.
inline constexpr int kResultFolderNotCreated = 1;  // work folder, its "VARNOLD" or file-temp
inline constexpr int kResultProductFolderMissing = 2;
inline constexpr int kResultCopyFailed = 4;
inline constexpr int kResultMarkingFailed = 5;
inline constexpr int kResultPackingFailed = 6;
inline constexpr int kResultVolumeNotMoved = 7;
inline constexpr int kResultReplaceDeclined = 8;
inline constexpr int kResultCabinetOrDatabaseMissing = 9;
inline constexpr int kResultSharedFoldersUnreadable = 10;
inline constexpr int kResultShareInfoFailed = 11;
// The product-folder step: the user stopped because PDF files are held open.
inline constexpr int kResultStoppedForOpenPdfs = 307;

// Restore engine. Each failure from the temporary folder on removes that folder again.
inline constexpr int kResultTempFolderNotCreated = 201;
// A volume could not be copied into the temporary folder, or a file of the unpacked tree could
// not be copied into place (the copy-then-delete move).
inline constexpr int kResultCopyIntoPlaceFailed = 202;
// A volume could not be unpacked; the run sequence offers another temporary folder.
inline constexpr int kResultNeedsTempFolder = 203;
inline constexpr int kResultProductFolderNotCreated = 204;
inline constexpr int kResultMoveIncomplete = 205;
inline constexpr int kResultSharesNotRestored = 206;
inline constexpr int kResultCatalogNotHidden = 207;
inline constexpr int kResultNotThisFormat = 208;  // the current-format marker is missing
inline constexpr int kResultMarkersNotRemoved = 209;
inline constexpr int kResultMainProgramCheckFailed = 210;
inline constexpr int kResultMainProgramRunning = 211;
inline constexpr int kResultShareTargetsUnusable = 212;
// Has a message, but no step of this restore raises it.
inline constexpr int kResultRestoreIncomplete = 213;
inline constexpr int kResultSharedFoldersNeedSettings = 214;
inline constexpr int kResultFormerFormat = 215;
// The restore finished, but a tree removal of this process left files it could not delete.
inline constexpr int kResultUndeletableFiles = 307;

// Run sequence.
inline constexpr int kResultRepositoryUnreadable = 301;  // also raised by the product-folder step
inline constexpr int kResultIndexingQueryFailed = 302;
inline constexpr int kResultIndexingStopFailed = 303;
inline constexpr int kResultSharedFolderQueryFailed = 304;
inline constexpr int kResultSharedFolderStopFailed = 305;

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_RESULT_CODES_H_
