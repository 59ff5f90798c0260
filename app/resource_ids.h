// Numbers of the resources the application shell takes from the resource module: dialog
// templates, the icon, the animation, the strings and the controls of each template. Strings
// the engines show as well, and the messages of the result codes, are named once in
// engine/common/message_ids.h.
#ifndef QDW_APP_RESOURCE_IDS_H_
#define QDW_APP_RESOURCE_IDS_H_

#include <cstdint>

#include "engine/common/message_ids.h"

namespace qdw::app {

// Dialog templates, icon group and animation.
inline constexpr uint16_t kAboutBoxTemplate = 100;
inline constexpr uint16_t kModeDialogTemplate = 102;
inline constexpr uint16_t kLogDialogTemplate = 104;
inline constexpr uint16_t kFileDialogTemplate = 105;
inline constexpr uint16_t kTempDialogTemplate = 106;
inline constexpr uint16_t kCustomMessageBoxTemplate = 9003;
inline constexpr uint16_t kDialogIcon = 9002;
inline constexpr uint16_t kProgressAnimation = 136;

// Strings.
inline constexpr int kTextOk = 1;
inline constexpr int kTextAboutMenu = 101;
inline constexpr int kTextLogHeading = 102;
inline constexpr int kTextDeleteEntries = 103;
inline constexpr int kTextSelectAll = 104;
inline constexpr int kTextClose = 105;
inline constexpr int kTextBack = 106;
inline constexpr int kMsgAlreadyRunning = 107;
inline constexpr int kMsgNoRepository = 109;
inline constexpr int kMsgUnexpectedError = 115;
inline constexpr int kMsgIndexingNotRestarted = 116;
inline constexpr int kMsgSharedFolderNotRestarted = 117;
inline constexpr int kMsgNoFolderBrowser = 121;
inline constexpr int kTextBrowseTitle = 122;
inline constexpr int kMsgConfirmRestore = 123;
inline constexpr int kTextRestoreHeading = 124;
inline constexpr int kMsgOperationFailed = 125;
inline constexpr int kMsgOperationSucceeded = 138;
inline constexpr int kTextColumnNumber = 139;  // to 143, one per column
inline constexpr int kMsgConfirmDeleteEntries = 145;
inline constexpr int kTextBackup = 146;
inline constexpr int kTextRestore = 148;
inline constexpr int kTextSucceeded = 149;
inline constexpr int kTextFailed = 150;
inline constexpr int kTextStart = 153;
inline constexpr int kTextNext = 155;
inline constexpr int kTextWorking = 160;
// What a run is doing, one per engine::ProgressPhase in its order.
inline constexpr int kTextPhaseFirst = 200;  // to 213
inline constexpr int kTextVolume = 214;
inline constexpr int kMsgVersionUnsupported = 175;
inline constexpr int kMsgShareCheckFailed = 177;
inline constexpr int kMsgShareRunning = 178;
// The temporary folder of a restore may not lie inside the product folder it replaces.
inline constexpr int kMsgTempInsideProduct = 186;
// A run that did not finish: undone, followed by what was put back; not undone completely,
// followed by what is not back yet.
inline constexpr int kMsgRunPutBack = 188;
inline constexpr int kMsgRunNotPutBack = 189;
inline constexpr int kTextBackupHeading = 1014;
inline constexpr int kTextBackupNote = 1015;
inline constexpr int kTextDestinationLabel = 1016;
inline constexpr int kTextArchiveNameLabel = 1017;
inline constexpr int kTextArchiveLabel = 1018;
inline constexpr int kTextRestoreAgainHeading = 1019;
inline constexpr int kTextBrowse = 1028;
inline constexpr int kTextChoiceHeading = 1029;
inline constexpr int kTextBackupChoice = 1030;
inline constexpr int kTextRestoreChoice = 1031;
inline constexpr int kTextViewLog = 1032;

// Operation codes, shared with the operation log.
inline constexpr int kModeBackup = 1;
inline constexpr int kModeRestore = 3;

// System-menu command of the about box.
inline constexpr uint32_t kAboutCommand = 16;

// Controls of the operation choice dialog (102).
inline constexpr int kChoiceHeading = 1029;
inline constexpr int kBackupRadio = 1000;
inline constexpr int kRestoreRadio = 1001;
inline constexpr int kViewLogButton = 1003;

// Controls of the log viewer (104).
inline constexpr int kLogHeading = 1030;
inline constexpr int kLogSecondHeading = 1031;
inline constexpr int kLogList = 1006;
inline constexpr int kDeleteEntriesButton = 1007;
inline constexpr int kSelectAllButton = 1004;

// Controls of the backup and restore dialog (105).
inline constexpr int kBackButton = 1004;
inline constexpr int kDestinationEdit = 1008;
inline constexpr int kArchiveEdit = 1009;
inline constexpr int kBrowseFolderButton = 1010;
inline constexpr int kBrowseArchiveButton = 1011;
inline constexpr int kArchiveNameEdit = 1013;
inline constexpr int kHeadingText = 1014;
inline constexpr int kNoteText = 1015;
inline constexpr int kSeparator = 1016;
inline constexpr int kDestinationLabel = 1017;
inline constexpr int kArchiveNameLabel = 1018;
inline constexpr int kArchiveLabel = 1019;
inline constexpr int kOutcomeText = 1033;
inline constexpr int kAnimation = 1036;
inline constexpr int kProgressText = 1037;
inline constexpr int kProgressBar = 1038;

// Controls of the temporary-folder dialog (106).
inline constexpr int kTempFolderEdit = 1027;
inline constexpr int kTempBrowseButton = 1028;

// Control of the custom message box (9003).
inline constexpr int kCustomMessageText = 9000;

}  // namespace qdw::app

#endif  // QDW_APP_RESOURCE_IDS_H_
