// The message catalogue: every text the program shows, by id, in the
// language chosen once at start from the user's display language.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

class CWnd;

struct MSGENTRY {
  std::int32_t nId;  // 0 ends a table
  const wchar_t* pszText;
};

struct CTRLTEXT {
  std::int32_t nCtrlId;
  std::int32_t nMsgId;  // 0 ends a table
};

// The catalogue's texts by name; the value is the text's id in the tables.
enum class Msg : std::int32_t {
  // Main window.
  kWindowTitle = 1,  // "%s software update ( v %s )"
  kExit = 2,
  kStartUpdate = 3,
  kStatusLabel = 4,
  kSerialLabel = 5,
  kPasswordLabel = 6,
  kUpdateNews = 7,
  kChangeUserInfo = 8,
  kDownloadManual = 9,
  kWiFiSettings = 10,
  // Registration form.
  kRegistrationTitle = 11,
  kRegistrationSend = 12,
  kRegistrationCancel = 13,
  kName = 14,
  kCompany = 15,
  kPostalCode = 16,
  kAddress = 17,
  kPhone = 18,
  kFax = 19,
  kEmail = 20,
  kDistributor = 21,
  // Wi-Fi settings.
  kOperationMode = 22,
  kModeClient = 23,
  kModeStandalone = 24,
  kSecurity = 25,
  kSecurityOpen = 26,
  kSecurityWpa = 27,
  kSecurityWpa2 = 28,
  kSsid = 29,
  kIpAddress = 30,
  kAddressAutomatic = 31,
  kAddressManual = 32,
  kResetToDefaults = 33,
  kShowPassword = 34,
  kMacAddress = 35,
  kSave = 36,
  kCancel = 37,
  // Status log lines, count units and message boxes.
  kCopyToCard = 38,
  kNeedCredentials = 39,
  kConnecting = 40,
  kCannotConnect = 41,
  kInvalidResponse = 42,
  kRegistrationNotSent = 44,
  kRegistrationIncomplete = 45,
  kCheckEmail = 46,
  kIncorrectLogin = 49,
  kUpToDate = 50,
  kResponseIncomplete = 51,
  kDownloadingClient = 52,
  kErrorDownloading = 53,
  kMemoryError = 54,
  kDownloadFailed = 55,        // (1): the transfer
  kDownloadFailedAnswer = 56,  // (2): no usable answer
  kDownloadFailedBody = 57,    // (3): not the listed file
  kCannotCreateFile = 58,      // "Cannot create file (%d)"
  kBytesReceived = 59,         // " * %d bytes:"
  kStepOk = 60,
  kStepError = 61,
  kUpdateFailed = 62,
  kNoUpdateNeeded = 63,
  kUpdateComplete = 64,
  kDownloadingFile = 65,
  kUploadingLogs = 66,
  kDownloadingManual = 67,
  kCannotSaveFile = 68,
  kFillAllFields = 69,
  kUpdateClientFirst = 70,
  kFiles = 71,
  kKilobytes = 79,
  kManualSaved = 80,
  kManualFailed = 81,
  kNotEnoughSpace = 82,  // "... %d MB more are needed."
  kCardBusy = 83,
  kCardWriteProtected = 84,
  kVersionFileIsFolder = 85,
  kSameClientOffered = 86,
  kManualNotShown = 88,  // "The manual was saved as %s, but ..."
  // Consent dialog.
  kPolicyTitle = 72,
  kAccept = 73,
  kViewPolicy = 74,
  kDeny = 75,
  kPolicyInstructions = 76,
  kPolicyOpenFailed = 77,
  kPolicySavedAs = 87,  // the page's path and Accept's caption, the line after kPolicyOpenFailed
  kServerError404 = 78,
  // The usage text and its exit statuses.
  kUsage = 90,
  kExitCurrent = 91,
  kExitNotFinished = 92,
  kExitNoLogin = 93,
  kExitTransferFailed = 94,
  kExitLogsLeft = 95,
  kExitHandedOver = 96,
  kExitCardBusy = 99,
  kExitNoCard = 103,
  // Count line and save dialog.
  kNoDataFor = 97,  // "  (no data for %d s)"
  kSaveAs = 98,
  // A program started outside any card: the card folder and the self-update.
  kChooseCardTitle = 100,
  kChooseCardPrompt = 101,  // the line after kNoCardFound or kSeveralCardsFound
  kClientTooOld = 102,
  kCannotOpenFolder = 104,  // "... %s ..."
  // The count line's bytes and speed, and the pass's summary.
  kCountBytes = 105,  // "  %s / %s MB"
  kCountSpeed = 106,  // "  %s MB/s  %s left"
  kSummaryFiles = 107,
  kSummaryLogs = 108,
  // Closing the window while a job runs.
  kStopAndClose = 109,
  kStoppedByUser = 110,
  // Why a step failed, after its " Error".
  kCauseLine = 111,  // "  Cause: %s\r\n\r\n"
  kCauseWriteProtected = 112,
  kCauseCardFull = 113,
  kCauseFileSystem = 114,  // the system's own error text
  kCauseRefused = 115,
  kCauseTimedOut = 116,
  kCauseNoName = 117,
  kCauseHttpStatus = 118,  // the status number
  kCauseTransfer = 119,    // the transfer library's own error text
  // A card folder the system does not let this user write to.
  kCardFolderNotWritable = 120,  // the system's reason
  // A job stopped because the system asked the program to end.
  kStoppedBySystem = 121,  // the request's name ("SIGTERM", "Ctrl-C")
  // The update query accepted the card, but its owner is not registered.
  kOwnerNotRegistered = 130,  // the change-user-info button's caption
  // The registration form's fields that cannot be sent as they are.
  kEmailWithoutAt = 131,
  kPostalCodeTooLong = 132,
  // The card folder dialog's first lines: no card or several found.
  kNoCardFound = 133,        // the folders searched
  kSeveralCardsFound = 134,  // the cards, a line each
  kNoCardFoundAnywhere = 135,  // no folder to search
  // A wait before an exchange is tried again: the wait in seconds, the
  // next try's number and the number of tries.
  kRetryConnection = 140,
  kRetryServerBusy = 141,
};

// The id of a named text, for tables (CTRLTEXT) that hold ids.
constexpr std::int32_t MsgId(Msg message) { return static_cast<std::int32_t>(message); }

constexpr LANGID kLangJapanese = 0x0411;

// The display language read at start, and the table it chose.
extern const LANGID g_langId;
extern const MSGENTRY* const g_pMessages;

// The text of nId in the chosen table; "" for an id the table lacks.
const wchar_t* GetMsg(int nId);
inline const wchar_t* GetMsg(Msg message) { return GetMsg(MsgId(message)); }
// The same lookup in a given table.
const wchar_t* FindMsg(const MSGENTRY* table, int nId);
// Sets the caption of each listed control of pWnd; controls it lacks are
// skipped.
void SetControlTexts(const CTRLTEXT* table, CWnd* pWnd);
