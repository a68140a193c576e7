// The window's side of the job reporter: the shared status variables, the
// four window messages and the two handshakes on which a job waits until the
// window has taken a notification over. CWindowReporter is the reporter every
// job thread is given; the main window's handlers read what it wrote.
#pragma once

#include <atomic>
#include <mutex>

#include "core/job_reporter.h"
#include "framework/afx.h"

constexpr UINT WM_JOB_FINISHED = 0x501;
constexpr UINT WM_STATUS_CHANGED = 0x502;
constexpr UINT WM_LAUNCH_CLIENT = 0x503;
constexpr UINT WM_FILE_PROGRESS = 0x504;

// The status log's text: a CString that counts how often it was replaced as
// a whole, so that the window can tell a log that only grew (and show just
// what was added) from a new one.
class CStatusLog : public CString {
 public:
  CStatusLog& operator=(const CString& text) {
    CString::operator=(text);
    ++m_nReplaced;
    return *this;
  }
  CStatusLog& operator=(const wchar_t* text) { return *this = CString(text); }
  template <class... Args>
  void Format(const wchar_t* format, const Args&... args) {
    CString text;
    text.Format(format, args...);
    *this = text;
  }
  void Empty() { *this = CString(); }
  std::uint32_t GetReplaceCount() const { return m_nReplaced; }

 private:
  std::uint32_t m_nReplaced = 0;
};

// Shared status variables. The reporter writes them on the job thread, the
// window's handlers read them; both sides hold g_statusLock while they touch
// the strings and the counts. The two flags are the handshakes: the reporter
// sets one before it posts and waits until the window's handler clears it.
extern std::mutex g_statusLock;
extern CStatusLog g_strStatusLog;
extern CString g_strCountUnit;
extern std::int32_t g_nCountTotal;
extern std::int32_t g_nCountDone;
extern std::atomic<std::uint32_t> g_bStatusPending;
extern CString g_strFileName;
extern std::uint32_t g_nFileSize;
extern std::uint32_t g_nFilePercent;
extern std::atomic<std::uint32_t> g_bFilePending;
// The window's side of a handshake: clears the flag and wakes the reporter
// that waits for it.
void ClearHandshake(std::atomic<std::uint32_t>& flag);
// A kilobyte-count notification is queued and not yet handled; guarded by
// g_statusLock. The reporter posts one only when none is, so a fast transfer
// cannot flood the window's queue; the handler shows the latest counts in
// any case.
extern bool g_bCountPending;
// Whole seconds since the running transfer last received a byte, once that
// is more than kStallNoticeMs (else 0); guarded by g_statusLock. The count
// line shows it.
constexpr ULONGLONG kStallNoticeMs = 5000;
extern std::int32_t g_nStalledSeconds;

// Reports a job to the window hWnd through the shared variables and posted
// messages; one job at a time. On a job thread PostStatus and FileProgress
// wait for the window; a flow on the UI thread has its status taken at once.
class CWindowReporter : public CJobReporter {
 public:
  explicit CWindowReporter(HWND hWnd) : m_hWnd(hWnd) {}

  void SetStatus(const CString& log) override;
  void AppendStatus(const CString& text) override;
  void PostStatus(const CString& text) override;
  void SetCountUnit(const CString& unit) override;
  void SetCountTotal(std::int32_t total) override;
  void SetCountDone(std::int32_t done) override;
  void AddCountDone(std::int32_t count) override;
  void ShowFile(const CString& name, std::uint32_t size) override;
  void CountProgress(double total, double now) override;
  void FileProgress(double now) override;
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
  // Updates g_nStalledSeconds for a callback that reports now bytes; true
  // when the count line should show a change.
  bool WatchForStall(double now);
  void PostCountLine();

  HWND m_hWnd;
  // The stall watch: the byte count of the last callback and when it last
  // grew. A gap between callbacks longer than any transfer leaves between
  // its own callbacks starts a new watch.
  double m_lastBytes = -1;
  ULONGLONG m_lastGrowth = 0;
  ULONGLONG m_lastCall = 0;
};
