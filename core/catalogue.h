// The message catalogue: every text the program shows, by id, in the
// language chosen once at start from the user's display language.
#pragma once

#include "framework/afx.h"

struct MSGENTRY {
  std::int32_t nId;  // 0 ends a table
  const wchar_t* pszText;
};

struct CTRLTEXT {
  std::int32_t nCtrlId;
  std::int32_t nMsgId;  // 0 ends a table
};

constexpr LANGID kLangJapanese = 0x0411;

// The display language read at start, and the table it chose.
extern const LANGID g_langId;
extern const MSGENTRY* const g_pMessages;

// The text of nId in the chosen table; "" for an id the table lacks.
const wchar_t* GetMsg(int nId);
// The same lookup in a given table.
const wchar_t* FindMsg(const MSGENTRY* table, int nId);
// Sets the caption of each listed control of pWnd; controls it lacks are
// skipped.
void SetControlTexts(const CTRLTEXT* table, CWnd* pWnd);
