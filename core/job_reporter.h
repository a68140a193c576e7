// How a job (the update, the manual download, the change-user-info flow)
// reports to the window that started it: the status log, the count line,
// the file line, message boxes, the progress group and its end. The window
// side implements it; a job knows nothing of the window's controls or of
// how the window takes a notification over.
#pragma once

#include <cstdint>

#include "core/catalogue.h"
#include "core/failure_cause.h"
#include "framework/cstring.h"
#include "platform/wintypes.h"

class CHttpSession;

// One job's record: allocated by the window, owned and freed by the job
// thread. hWnd is the window the job reports to.
struct JOBPARAM {
  HWND hWnd = nullptr;
  CString strSerial;
  CString strPassword;
  wchar_t szModulePath[255] = {};
  BOOL bUpdateNews = FALSE;
  BOOL bBatch = FALSE;
  // The update job of a client started to finish a self-update ("/e"): it
  // never hands over to a client equal to itself.
  BOOL bSelfUpdated = FALSE;
  // The program runs from outside the card (an installed program that found
  // the card): its log folder is the card's "logs", and it never hands over
  // to a client on the card, whose own client it updates as a file instead.
  BOOL bProgramOffCard = FALSE;
};

// The parts of the window's progress group: the count line with its bar,
// the file line with its bar, or all four.
enum class ProgressPart { kGroup, kCountLine, kFileLine };

// What the window does when it is asked to close: start nothing, start the
// new client that was downloaded, or first copy it from the card's copy.
enum class NewClient { kNone = 0, kDownloaded = 1, kCardCopy = 2 };

class CJobReporter {
 public:
  virtual ~CJobReporter() = default;

  // The status log. SetStatus replaces the whole log and AppendStatus adds
  // to it, both unseen until the next PostStatus; PostStatus appends text
  // (an empty one appends nothing) and sends the log and the count line to
  // the window, which shows them in the order they were sent.
  virtual void SetStatus(const CString& log) = 0;
  virtual void AppendStatus(const CString& text) = 0;
  virtual void PostStatus(const CString& text) = 0;

  // The count line ("done/total unit"), shown with the next PostStatus.
  virtual void SetCountUnit(const CString& unit) = 0;
  virtual void SetCountTotal(std::int32_t total) = 0;
  virtual void SetCountDone(std::int32_t done) = 0;
  virtual void AddCountDone(std::int32_t count) = 0;
  // The bytes the count line measures beside its count: all that the job
  // will transfer, and those of each part as it is done (the file line's
  // progress counts towards them meanwhile). With a total, the count line's
  // bar moves by bytes, and once the speed is known the line tells the
  // megabytes, the speed and the time left.
  virtual void SetByteTotal(std::uint64_t total) = 0;
  virtual void AddBytesDone(std::uint64_t bytes) = 0;
  // No transfer runs until ResumeTransfers: a wait between two tries of a
  // file, or (never resumed) the end of the job's transfers. Meanwhile the
  // count line keeps its counts and bytes but shows no speed and no time
  // left; the speed measured after the resume leaves the pause out.
  virtual void PauseTransfers() = 0;
  virtual void ResumeTransfers() = 0;

  // The file line: the file's name and expected size in bytes (0: the name
  // alone, with an empty bar); its percent starts again at 0. Shown without
  // waiting for the window.
  virtual void ShowFile(const CString& name, std::uint32_t size) = 0;

  // Transfer progress, called by the transfer callbacks below on the job
  // thread. CountProgress shows the transfer's kilobytes on the count line
  // (its bytes while the total is below a kilobyte);
  // FileProgress the percent of the file line's size (at most 100), once per
  // whole percent.
  virtual void CountProgress(double total, double now) = 0;
  virtual void FileProgress(double now) = 0;

  // Whether the user (or the system, ending the program) has asked the job
  // to stop: the transfer callbacks then end the transfer, and the job stops
  // before its next step.
  virtual bool IsCancelled() const = 0;
  // The status log's line for a job that stopped so: who asked for it.
  virtual CString StopLine() const = 0;

  virtual void ShowProgress(ProgressPart part, bool show) = 0;
  // A message box; returns once the user has answered it.
  virtual int ShowMessageBox(const CString& text, UINT type) = 0;
  // The save dialog: no owner, starting with the suggested name, showing the
  // filter's files ("Description|pattern|...||"). False when the user
  // cancelled; else the chosen path and its file name without the folder.
  virtual bool ChooseSaveFile(const CString& suggestedName, const CString& filter, CString& path,
                              CString& fileName) = 0;
  // The privacy-policy consent; true when the user accepted it.
  virtual bool AskConsent() = 0;
  // The registration form, sending on session (the one that has just had the
  // card accepted) and storing the server's verdict in result. False when the
  // user cancelled it.
  virtual bool RunRegistrationForm(CHttpSession& session, std::int32_t& result) = 0;
  // Asks the window to close, starting the new client named first.
  virtual void LaunchClient(NewClient client) = 0;
  // The job's body has returned with result.
  virtual void Finished(int result) = 0;

  // A catalogue text in a message box, alone or formatted with a number or
  // a text. (Names of their own: the style constants are long on Windows,
  // and an overload could not tell a style from a number.)
  void ShowMessage(Msg message, UINT type = MB_OK);
  void ShowNumberMessage(Msg message, int number, UINT type = MB_OK);
  void ShowTextMessage(Msg message, const CString& text, UINT type = MB_OK);
  // A step that failed: " Error" ends its status line, a line with the cause
  // follows when one is known, then the box says what failed.
  void Fail(Msg message, UINT type = MB_OK, const FailureCause& cause = {});
  void FailWithNumber(Msg message, int number, const FailureCause& cause = {});
};

// Transfer progress callbacks (libcurl's progress-function signature) whose
// user pointer is the job's CJobReporter; they return 0 to go on, and
// non-zero to end the transfer when the user has asked the job to stop.
int CountProgressCallback(void* reporter, double dltotal, double dlnow, double ultotal, double ulnow);
int FileProgressCallback(void* reporter, double dltotal, double dlnow, double ultotal, double ulnow);
