#include "core/catalogue.h"

#include "core/catalogue_tables.h"
#include "framework/window.h"
#include "platform/system.h"

const LANGID g_langId = GetUserDefaultUILanguage();
const MSGENTRY* const g_pMessages = g_langId == kLangJapanese ? g_msgJapanese : g_msgEnglish;

const wchar_t* FindMsg(const MSGENTRY* table, int nId) {
  for (const MSGENTRY* entry = table;; ++entry) {
    if (entry->nId == 0) return entry->pszText;
    if (entry->nId == nId) return entry->pszText;
  }
}

const wchar_t* GetMsg(int nId) { return FindMsg(g_pMessages, nId); }

void SetControlTexts(const CTRLTEXT* table, CWnd* pWnd) {
  for (const CTRLTEXT* row = table; row->nMsgId != 0; ++row)
    if (CWnd* control = pWnd->GetDlgItem(row->nCtrlId)) control->SetWindowText(GetMsg(row->nMsgId));
}
