// CHalyardDlg: the program's main window. It starts jobs, locks its controls
// while one runs, and shows what the jobs report through window messages.
#pragma once

#include "app/status_channel.h"
#include "app/status_log_view.h"
#include "core/update_result.h"
#include "framework/afx.h"

// Thread procedures: run the job body with a CWindowReporter, report its end
// (and, after an unattended update, ask the window to close), free the record.
UINT UpdateThreadProc(void* param);
UINT ManualThreadProc(void* param);

class CHalyardDlg : public CDialog {
 public:
  CHalyardDlg();
  ~CHalyardDlg() override;

  // Start flags from the command line.
  bool m_bFinishSelfUpdate = false;
  bool m_bAutoStart = false;
  bool m_bBatch = false;
  // The program runs from outside the card (the current directory): it
  // never hands over to a client on the card, nor swaps itself in there.
  bool m_bProgramOffCard = false;

  // The status log as the window last set it.
  const CString& GetStatusText() const { return m_strStatus; }
  // The program's exit status: in an unattended run how its update ended
  // (UpdateResult), else 0.
  int GetExitStatus() const;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Esc or closing the window: while a job runs, asks first; on yes the job
  // stops and the window closes once it has ended.
  void OnCancel() override;
  // The system asks the program to end (WM_STOP_REQUEST): a running job
  // stops as on yes to that question, without asking; else the window
  // closes.
  LRESULT OnStopRequest(WPARAM name, LPARAM fromKeyboard);
  // The job stops safely, its status log ending with stopLine, and the
  // window closes once it has ended.
  void StopJobAndClose(const CString& stopLine);

  void SetMainTexts();
  void OnStartUpdate();
  void OnChangeUserInfo();
  void OnDownloadManual();
  void OnWiFiSettings();
  LRESULT OnJobFinished(WPARAM wParam, LPARAM lParam);
  LRESULT OnStatusChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnFileProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnLaunchClient(WPARAM wParam, LPARAM lParam);

  // Starts a job thread with a fresh record of the window's fields: reads
  // the controls, resets the update's file line and bar (updateJob) or the
  // manual's count line and bar, disables the controls and starts proc.
  // When no thread can be started, frees the record, enables the controls
  // again, reports it and returns false.
  bool StartJob(AFX_THREADPROC proc, bool updateJob);
  void ShowJobMembers();
  // Shows the notes the job has queued, each as the message of its kind
  // would.
  void ShowNotes();
  void ShowNote(const StatusNote& note);
  void ShowNote(const FileNote& note);

  HICON m_hIcon;
  CString m_strStatus;
  CString m_strSerial;
  CString m_strPassword;
  BOOL m_bUpdateNews = FALSE;
  CProgressCtrl m_progressTotal;
  CProgressCtrl m_progressFile;
  CString m_strCountText;
  CString m_strFileText;
  CEdit m_editStatus;
  CStatusLogView m_statusLogView;
  wchar_t m_szModulePath[255] = {};
  // How the last job ended (UpdateResult; the manual download always ends
  // with 0); "not finished" until one has.
  int m_nUpdateResult = kUpdateNotFinished;
  bool m_bJobRunning = false;
  bool m_bCloseWhenFinished = false;  // the user asked to close while a job ran

  DECLARE_MESSAGE_MAP()
};
