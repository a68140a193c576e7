// CDialog with modal loops (nested dialogs nest loops) and dialog data
// exchange between controls and members.
#pragma once

#include "framework/cstring.h"
#include "framework/window.h"

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CDialog* m_pDlgWnd;
  // The control of the last exchange, for the validations that follow it.
  HWND m_hWndLastControl = nullptr;
  // Set by a failed validation; the remaining exchanges are skipped.
  bool m_bFailed = false;

  HWND PrepareCtrl(int id);
  void Fail();
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);
// Limits the control of the preceding DDX_Text to maxChars when the
// controls are filled, and refuses a longer value when they are read.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Exchanges the index of the checked button of the radio group that starts
// with control id; -1 when none is checked.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// Attaches a control object to the dialog's control of that id.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Creates the dialog from its template, runs it until EndDialog, destroys
  // it and returns the result (-1 when it could not be created).
  virtual std::intptr_t DoModal();
  void EndDialog(int result);
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  void GotoDlgCtrl(CWnd* control);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  const DialogTemplate* GetTemplate() const { return m_pTemplate; }
  bool IsEnding() const { return m_bEnding; }

 protected:
  virtual void DoDataExchange(CDataExchange* /*pDX*/) {}

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

  DECLARE_MESSAGE_MAP()

  const DialogTemplate* m_pTemplate = nullptr;
  bool m_bEnding = false;
  int m_nResult = IDCANCEL;
};

namespace afx {
// The dialog whose modal loop is innermost, or null.
CDialog* ActiveDialog();
}
