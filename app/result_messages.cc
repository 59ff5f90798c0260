#include "app/result_messages.h"

#include <cstdio>

#include "engine/common/message_ids.h"
#include "engine/common/result_codes.h"

namespace qdw::app {

int ResultMessage(int code) {
  using namespace engine;  // NOLINT(build/namespaces): the table reads as codes and messages
  struct Entry {
    int code;
    int message;
  };
  static const Entry kTable[] = {
      {kResultDeclined, kMsgOperationCancelled},
      // Backup engine.
      {kResultFolderNotCreated, kMsgWorkFolderNotCreated},
      {kResultProductFolderMissing, kMsgRepositoryMissing},
      {kResultCopyFailed, kMsgRepositoryCopyFailed},
      {kResultMarkingFailed, kMsgWorkingCopyNotListed},
      {kResultPackingFailed, kMsgArchiveNotWritten},
      {kResultVolumeNotMoved, kMsgArchiveNotMoved},
      {kResultReplaceDeclined, kMsgOperationCancelled},
      {kResultCabinetOrDatabaseMissing, kMsgCabinetOrDatabaseMissing},
      {kResultSharedFoldersUnreadable, kMsgSharedFolderListUnreadable},
      {kResultShareInfoFailed, kMsgShareInfoNotSaved},
      // Restore engine.
      {kResultTempFolderNotCreated, kMsgWorkFolderNotCreated},
      {kResultCopyIntoPlaceFailed, kMsgTempCopyFailed},
      {kResultNeedsTempFolder, kMsgArchiveNotUnpacked},
      {kResultProductFolderNotCreated, kMsgProductFolderNotCreated},
      {kResultMoveIncomplete, kMsgRestoredFolderNotMovedIn},
      {kResultSharesNotRestored, kMsgSharesNotRestored},
      {kResultCatalogNotHidden, kMsgCatalogNotHidden},
      {kResultNotThisFormat, kMsgNotThisToolsArchive},
      {kResultMarkersNotRemoved, kMsgWorkingCopyNotListed},
      {kResultMainProgramCheckFailed, kMsgProductNotSetUp},
      {kResultMainProgramRunning, kMsgProductRunning},
      {kResultShareTargetsUnusable, kMsgOperationCancelled},
      {kResultRestoreIncomplete, kMsgRestoreIncomplete},
      {kResultSharedFoldersNeedSettings, kMsgSharedFoldersNeedSettings},
      {kResultFormerFormat, kMsgFormerFormat},
      // Run sequence.
      {kResultRepositoryUnreadable, kMsgRepositoryMissing},
      {kResultIndexingQueryFailed, kMsgIndexingQueryFailed},
      {kResultIndexingStopFailed, kMsgIndexingStopFailed},
      {kResultSharedFolderQueryFailed, kMsgSharedFolderQueryFailed},
      {kResultSharedFolderStopFailed, kMsgSharedFolderStopFailed},
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
