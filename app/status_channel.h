// The window's side of the job reporter: notifications that carry their own
// copy of what the window shows, queued in the order the job made them, and
// the four window messages that tell the window to take the next one. A job
// never waits for the window (only for a message box or a dialog that needs
// the user's answer); the window shows every notification in order, so what
// it shows is what the job reported, step by step. Transfer progress is
// coalesced: at most one count-line and one file-line update per
// kProgressIntervalMs, and always the last one before anything else.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

#include "app/transfer_rate.h"
#include "core/job_reporter.h"
#include "framework/afx.h"
#include "platform/system.h"

constexpr UINT WM_JOB_FINISHED = 0x501;
constexpr UINT WM_STATUS_CHANGED = 0x502;
constexpr UINT WM_LAUNCH_CLIENT = 0x503;
constexpr UINT WM_FILE_PROGRESS = 0x504;

// The status log and the count line as one notification shows them.
struct StatusNote {
  bool replaceLog = false;  // logText is the whole new log, not an addition
  CString logText;
  CString countUnit;
  std::int32_t countDone = 0;
  std::int32_t countTotal = 0;
  std::int32_t stalledSeconds = 0;  // whole seconds without a byte, beyond kStallNoticeMs
  // The job's bytes (total 0: the count line counts its unit alone) and
  // their speed (0: not known yet).
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;
  double bytesPerSecond = 0;
};

// The file line as one notification shows it (size 0: the name alone).
struct FileNote {
  CString name;
  std::uint32_t size = 0;
  std::uint32_t percent = 0;
};

using Note = std::variant<StatusNote, FileNote>;

// The notifications on their way to the window, in the order the job made
// them. Only the note that finds the queue empty has its message posted: the
// window's handler takes every note waiting, so a job that reports faster
// than the window wakes it once for many.
class CStatusQueue {
 public:
  // Adds a note; true when the queue was empty (its message is to be posted).
  bool Push(Note note);
  // Every waiting note, oldest first.
  std::vector<Note> TakeAll();
  // Drops every waiting note: their message could not be posted.
  void Clear();

 private:
  std::mutex m_lock;
  std::vector<Note> m_notes;
};

extern CStatusQueue g_statusQueue;

// The request that the running job stop, with the line its status log ends
// with (who asked): set by the window, read by the job's reporter; cleared
// when a job starts.
void RequestJobCancel(const CString& stopLine);
void ClearJobCancel();

// Seconds without a byte after which the count line says so.
constexpr ULONGLONG kStallNoticeMs = 5000;
// The shortest time between two progress updates of one line.
constexpr ULONGLONG kProgressIntervalMs = 50;

// Milliseconds of a steady clock; tests give the reporter one of their own.
using TickClock = std::function<ULONGLONG()>;

// Reports a job to the window hWnd; one job at a time.
class CWindowReporter : public CJobReporter {
 public:
  explicit CWindowReporter(HWND hWnd, TickClock clock = GetTickCount64)
      : m_hWnd(hWnd), m_clock(std::move(clock)) {}

  void SetStatus(const CString& log) override;
  void AppendStatus(const CString& text) override;
  void PostStatus(const CString& text) override;
  void SetCountUnit(const CString& unit) override { m_jobUnit = m_count.countUnit = unit; }
  void SetCountTotal(std::int32_t total) override { m_count.countTotal = total; }
  void SetCountDone(std::int32_t done) override { m_count.countDone = done; }
  void AddCountDone(std::int32_t count) override { m_count.countDone += count; }
  void SetByteTotal(std::uint64_t total) override { m_count.bytesTotal = total; }
  void AddBytesDone(std::uint64_t bytes) override;
  void PauseTransfers() override;
  void ResumeTransfers() override;
  void ShowFile(const CString& name, std::uint32_t size) override;
  void CountProgress(double total, double now) override;
  void FileProgress(double now) override;
  bool IsCancelled() const override;
  CString StopLine() const override;
  void ShowProgress(ProgressPart part, bool show) override;
  int ShowMessageBox(const CString& text, UINT type) override;
  // The dialogs: the save dialog from any thread; consent and registration,
  // which the change-user-info flow asks for, on the UI thread.
  bool ChooseSaveFile(const CString& suggestedName, const CString& filter, CString& path,
                      CString& fileName) override;
  bool AskConsent() override;
  bool RunRegistrationForm(CHttpSession& session, std::int32_t& result) override;
  void LaunchClient(NewClient client) override;
  void Finished(int result) override;

 private:
  // Sends the status log's unsent part and the count line.
  void SendStatus();
  void SendFile();
  // Queues a note for the window, posting message when it is the first.
  void Send(Note note, UINT message);
  // Sends what coalescing has held back, so that nothing overtakes it.
  void SendHeldProgress();
  // Whether a progress update of a line last sent at lastSent may go now;
  // if so, now is when it was sent.
  bool ProgressDue(std::optional<ULONGLONG>& lastSent);
  // Follows the received byte count; true when the stall notice changed.
  bool WatchForStall(double now);
  // The count line's bytes: the parts done and the file line's progress,
  // never fewer than shown before (the bytes of a file that failed stay
  // counted). The speed follows the bytes that arrive.
  void CountBytes(std::uint64_t fileBytes);

  HWND m_hWnd;
  TickClock m_clock;
  // What the job has set and not yet sent, and the lines as last set.
  CString m_unsentLog;
  bool m_replaceLog = false;
  // Whether the log as last set ends a line; a log this reporter has not set
  // (an earlier job's) counts as ending one.
  bool m_logAtLineStart = true;
  StatusNote m_count;  // the count line (its log fields unused)
  CString m_jobUnit;   // the count line's unit as the job set it
  FileNote m_file;
  std::uint64_t m_partsDone = 0;  // bytes of the parts done
  CTransferRate m_rate;
  // Coalescing: when each line was last sent, and whether an update waits.
  std::optional<ULONGLONG> m_countSent;
  std::optional<ULONGLONG> m_fileSent;
  bool m_countHeld = false;
  bool m_fileHeld = false;
  // The stall watch: the byte count of the last callback and when it last
  // grew. A gap between callbacks longer than any transfer leaves between
  // its own callbacks starts a new watch.
  double m_lastBytes = -1;
  ULONGLONG m_lastGrowth = 0;
  ULONGLONG m_lastCall = 0;
};
