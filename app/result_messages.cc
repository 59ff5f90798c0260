#include "app/result_messages.h"

#include <cstdio>

#include "engine/common/message_ids.h"
#include "engine/common/result_codes.h"

namespace qdw::app {

int ResultMessage(int code) {
  struct Entry {
    int code;
    int message;
  };
  static const Entry kTable[] = {
      {engine::kResultDeclined, engine::kMsgOperationCancelled},
      // Backup engine.
      {engine::kResultFolderNotCreated, engine::kMsgWorkFolderNotCreated},
      {engine::kResultProductFolderMissing, engine::kMsgRepositoryMissing},
      {engine::kResultCopyFailed, engine::kMsgRepositoryCopyFailed},
      {engine::kResultMarkingFailed, engine::kMsgWorkingCopyNotListed},
      {engine::kResultPackingFailed, engine::kMsgArchiveNotWritten},
      {engine::kResultVolumeNotMoved, engine::kMsgArchiveNotMoved},
      {engine::kResultReplaceDeclined, engine::kMsgOperationCancelled},
      {engine::kResultCabinetOrDatabaseMissing, engine::kMsgCabinetOrDatabaseMissing},
      {engine::kResultSharedFoldersUnreadable, engine::kMsgSharedFolderListUnreadable},
      {engine::kResultShareInfoFailed, engine::kMsgShareInfoNotSaved},
      // Restore engine.
      {engine::kResultTempFolderNotCreated, engine::kMsgWorkFolderNotCreated},
      {engine::kResultCopyIntoPlaceFailed, engine::kMsgTempCopyFailed},
      {engine::kResultNeedsTempFolder, engine::kMsgArchiveNotUnpacked},
      {engine::kResultProductFolderNotCreated, engine::kMsgProductFolderNotCreated},
      {engine::kResultMoveIncomplete, engine::kMsgRestoredFolderNotMovedIn},
      {engine::kResultSharesNotRestored, engine::kMsgSharesNotRestored},
      {engine::kResultCatalogNotHidden, engine::kMsgCatalogNotHidden},
      {engine::kResultNotThisFormat, engine::kMsgNotThisToolsArchive},
      {engine::kResultMarkersNotRemoved, engine::kMsgWorkingCopyNotListed},
      {engine::kResultMainProgramCheckFailed, engine::kMsgProductNotSetUp},
      {engine::kResultMainProgramRunning, engine::kMsgProductRunning},
      {engine::kResultShareTargetsUnusable, engine::kMsgOperationCancelled},
      {engine::kResultRestoreIncomplete, engine::kMsgRestoreIncomplete},
      {engine::kResultSharedFoldersNeedSettings, engine::kMsgSharedFoldersNeedSettings},
      {engine::kResultFormerFormat, engine::kMsgFormerFormat},
      // Run sequence.
      {engine::kResultRepositoryUnreadable, engine::kMsgRepositoryMissing},
      {engine::kResultIndexingQueryFailed, engine::kMsgIndexingQueryFailed},
      {engine::kResultIndexingStopFailed, engine::kMsgIndexingStopFailed},
      {engine::kResultSharedFolderQueryFailed, engine::kMsgSharedFolderQueryFailed},
      {engine::kResultSharedFolderStopFailed, engine::kMsgSharedFolderStopFailed},
      // kResultAbandoned shows nothing, and kResultStoppedForOpenPdfs and
      // kResultUndeletableFiles (307) only the general failure: their step has already told why.
  };
  for (const Entry& entry : kTable) {
    if (entry.code == code) return entry.message;
  }
  return 0;
}

std::string DefaultArchiveName(const platform::CalendarTime& local_date) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* month =
      local_date.month >= 1 && local_date.month <= 12 ? kMonths[local_date.month - 1] : "";
  char text[48];
  std::snprintf(text, sizeof(text), "QDWBackup%02d%s%02d", local_date.year % 100, month,
                local_date.day);
  return text;
}

}  // namespace qdw::app
