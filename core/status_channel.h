// The status channel between a job thread and the main window: the job
// record, the shared status variables, the four window messages and the two
// handshakes on which a job waits until the window has taken a notification.
#pragma once

#include <atomic>
#include <mutex>

#include "framework/afx.h"

constexpr UINT WM_JOB_FINISHED = 0x501;
constexpr UINT WM_STATUS_CHANGED = 0x502;
constexpr UINT WM_LAUNCH_CLIENT = 0x503;
constexpr UINT WM_FILE_PROGRESS = 0x504;

// One job's record: allocated by the window, owned and freed by the job
// thread. hWnd comes first: the transfer callbacks read it from the start of
// the record they are given.
struct JOBPARAM {
  HWND hWnd = nullptr;
  CString strSerial;
  CString strPassword;
  wchar_t szModulePath[255] = {};
  BOOL bUpdateNews = FALSE;
  BOOL bBatch = FALSE;
};

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

// Shared status variables. The job thread writes them, the window's
// handlers read them; both sides hold g_statusLock while they touch the
// strings and the counts. The two flags are the handshakes: the job sets
// one before it posts and waits until the window's handler clears it.
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
// A kilobyte-count notification is queued and not yet handled; guarded by
// g_statusLock. CountProgressCallback posts only when none is, so a fast
// transfer cannot flood the window's queue; the handler shows the latest
// counts in any case.
extern bool g_bCountPending;
// Whole seconds since the running transfer last received a byte, once that
// is more than kStallNoticeMs (else 0); guarded by g_statusLock. The count
// line shows it.
constexpr ULONGLONG kStallNoticeMs = 5000;
extern std::int32_t g_nStalledSeconds;

// Thread procedures: run the job body, post WM_JOB_FINISHED (and, after an
// unattended update, WM_LAUNCH_CLIENT with 0), free the record.
UINT UpdateThreadProc(void* param);
UINT ManualThreadProc(void* param);

// Appends text to the status log and returns once the window has shown it.
// An empty text only publishes. Job threads only.
void PostStatus(JOBPARAM* job, CString text);
// Blocks until the window has taken the last status notification.
void WaitForStatusTaken();

// Transfer progress callbacks (libcurl's progress-function signature); the
// user pointer is the job record.
int CountProgressCallback(void* user, double dltotal, double dlnow, double ultotal, double ulnow);
int FileProgressCallback(void* user, double dltotal, double dlnow, double ultotal, double ulnow);

// The job bodies, each in its own subsystem.
int RunUpdateJob(JOBPARAM* job);
int RunManualJob(JOBPARAM* job);
