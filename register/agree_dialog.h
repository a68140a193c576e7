// CAgreeDialog: the privacy-policy consent dialog. Accept stays disabled
// until the user has viewed the current policy page, downloaded from the
// policy site and opened in the browser (or, with no browser, saved where
// the user was told); Accept then removes the downloaded files and ends
// with IDOK, Deny ends with IDCANCEL.
#pragma once

#include "framework/afx.h"

class CAgreeDialog : public CDialog {
 public:
  explicit CAgreeDialog(CWnd* pParent = nullptr);

 protected:
  BOOL OnInitDialog() override;
  // Accept.
  void OnOK() override;
  void OnViewPrivacyPolicy();

  DECLARE_MESSAGE_MAP()
};

// The policy page's address for a display language: "/jp/" for Japanese,
// "/en/" for every other language.
CString PolicyPageUrl(LANGID language);
