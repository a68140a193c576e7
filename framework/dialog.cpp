#include "dialog.h"

#include <vector>

#include "framework/app.h"
#include "framework/backend.h"
#include "framework/uiqueue.h"

namespace afx {
namespace {
std::vector<CDialog*> g_modalStack;  // UI thread only
}
CDialog* ActiveDialog() { return g_modalStack.empty() ? nullptr : g_modalStack.back(); }
}  // namespace afx

using afx::FindWindowState;
using afx::WindowState;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd) afx::DestroyWindowState(m_hWnd);
}

std::intptr_t CDialog::DoModal() {
  m_pTemplate = AfxFindDialogTemplate(m_nIDTemplate);
  afx::Backend* backend = afx::GetBackend();
  if (!m_pTemplate || !backend || !afx::IsUiThread()) return -1;

  HWND parent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  if (!parent && afx::ActiveDialog()) parent = afx::ActiveDialog()->GetSafeHwnd();
  HWND self = afx::CreateWindowState(nullptr, this);
  WindowState* state = FindWindowState(self);
  state->isDialog = true;
  state->parent = parent;
  state->style = m_pTemplate->style;
  state->cx = m_pTemplate->cx;
  state->cy = m_pTemplate->cy;
  for (size_t i = 0; i < m_pTemplate->itemCount; ++i) {
    const DialogItem& item = m_pTemplate->items[i];
    HWND control = afx::CreateWindowState(self, nullptr);
    WindowState* c = FindWindowState(control);
    c->id = item.id;
    c->kind = item.kind;
    c->style = item.style;
    c->x = item.x;
    c->y = item.y;
    c->cx = item.cx;
    c->cy = item.cy;
    c->visible = (item.style & WS_VISIBLE) != 0;
    c->enabled = (item.style & WS_DISABLED) == 0;
    c->readOnly = (item.style & ES_READONLY) != 0;
    if (item.kind == ControlKind::Edit && (item.style & ES_PASSWORD))
      c->passwordChar = afx::kDefaultPasswordChar;
  }
  for (size_t i = 0; i < m_pTemplate->tabOrderCount; ++i)
    if (HWND control = afx::FindChild(self, m_pTemplate->tabOrder[i])) state->tabOrder.push_back(control);

  m_bEnding = false;
  m_nResult = IDCANCEL;
  const bool topLevel = afx::ActiveDialog() == nullptr;
  if (topLevel) afx::SetUiOpen(true);
  backend->CreateDialogWindow(*this);
  afx::g_modalStack.push_back(this);
  if (OnInitDialog()) {
    // The focus goes to the first tab stop, passing over a radio group with
    // no button checked: focusing one checks it (Windows), a choice the user
    // did not make.
    const HWND first = afx::NextTabStop(self, nullptr, false);
    HWND at = first;
    while (at && FindWindowState(at)->kind == ControlKind::RadioButton &&
           FindWindowState(at)->check != BST_CHECKED) {
      at = afx::NextTabStop(self, at, false);
      if (at == first) at = nullptr;
    }
    if (at) FindWindowState(at)->object->SetFocus();
  }
  if (!m_bEnding) backend->RunModalLoop(*this);
  afx::g_modalStack.pop_back();
  if (topLevel) afx::SetUiOpen(false);
  backend->DestroyDialogWindow(*this);
  afx::DestroyWindowState(self);
  return m_nResult;
}

void CDialog::EndDialog(int result) {
  m_nResult = result;
  if (m_bEnding) return;
  m_bEnding = true;
  if (afx::Backend* backend = afx::GetBackend()) backend->EndModalLoop(*this);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return dx.m_bFailed ? FALSE : TRUE;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) control->SetFocus();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
  m_hWndLastControl = control;
  return control;
}

void CDataExchange::Fail() {
  m_bFailed = true;
  if (CWnd* control = CWnd::FromHandle(m_hWndLastControl)) m_pDlgWnd->GotoDlgCtrl(control);
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
  if (pDX->m_bFailed) return;
  CWnd* control = CWnd::FromHandle(pDX->PrepareCtrl(id));
  if (!control) return;
  if (pDX->m_bSaveAndValidate)
    control->GetWindowText(value);
  else
    control->SetWindowText(value);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars) {
  if (pDX->m_bFailed) return;
  CWnd* control = CWnd::FromHandle(pDX->m_hWndLastControl);
  if (!pDX->m_bSaveAndValidate) {
    if (control) control->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    return;
  }
  if (value.GetLength() > maxChars) {
    CString message;
    message.Format(L"Enter no more than %d characters.", maxChars);
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    pDX->Fail();
  }
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  if (pDX->m_bFailed) return;
  CWnd* control = CWnd::FromHandle(pDX->PrepareCtrl(id));
  if (!control) return;
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(control->SendMessage(BM_GETCHECK, 0, 0));
  else
    control->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
  if (pDX->m_bFailed) return;
  HWND first = pDX->PrepareCtrl(id);
  if (!first) return;
  const std::vector<HWND> group = afx::RadioGroupOf(first);
  if (pDX->m_bSaveAndValidate) value = -1;
  for (size_t i = 0; i < group.size(); ++i) {
    CWnd* button = CWnd::FromHandle(group[i]);
    if (pDX->m_bSaveAndValidate) {
      if (button->SendMessage(BM_GETCHECK, 0, 0) == BST_CHECKED) value = static_cast<int>(i);
    } else {
      button->SendMessage(BM_SETCHECK, static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED,
                          0);
    }
  }
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (!afx::IsLiveWindow(control.m_hWnd)) control.m_hWnd = pDX->PrepareCtrl(id);
}
