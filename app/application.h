// CHalyardApp: the application object. InitInstance runs the main window as
// a modal dialog; when it ends, the program ends.
#pragma once

#include "framework/afx.h"
#include "platform/card_root.h"

class CHalyardDlg;
class CCustomCommandLineInfo;

class CHalyardApp : public CWinApp {
 public:
  // Named by the product, whatever the program file is called (a new
  // client runs as "new_koral70.exe" until it has put itself in place).
  CHalyardApp();
  BOOL InitInstance() override;
  // The exit status: how an unattended run's update ended (UpdateResult),
  // else 0.
  int ExitInstance() override { return m_nExitStatus; }

 private:
  int m_nExitStatus = 0;
  // One client per card, for the whole run.
  CCardLock m_cardLock;
};

// Hands the switches on to the main window's start flags.
void ApplyStartFlags(const CCustomCommandLineInfo& info, CHalyardDlg& dialog);
