// The program's command line: the switches "e" (finish a self-update, then
// update), "b" (unattended update), "--help", "-h" or "/?" (print the usage
// and end) and "--version" (print the client's name and version and end).
// Everything else is ignored.
#pragma once

#include "framework/afx.h"

class CCustomCommandLineInfo : public CCommandLineInfo {
 public:
  ~CCustomCommandLineInfo() override = default;
  void ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) override;

  BOOL m_bSelfUpdated = FALSE;
  BOOL m_bBatch = FALSE;
  BOOL m_bShowHelp = FALSE;
  BOOL m_bShowVersion = FALSE;
};
