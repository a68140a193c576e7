#include "update/job_ui.h"

#include "core/catalogue.h"

namespace {
void ShowControls(HWND dialog, std::initializer_list<int> ids, int command) {
  for (int id : ids)
    if (HWND control = GetDlgItem(dialog, id)) ShowWindow(control, command);
}
}  // namespace

void ShowJobMessage(int id, UINT type) { AfxMessageBox(GetMsg(id), type); }

void ShowJobMessage(int id, int number, UINT type) {
  CString text;
  text.Format(GetMsg(id), number);
  AfxMessageBox(text, type);
}

void ShowProgressGroup(HWND dialog, int command) {
  ShowControls(dialog, {1008, 1009, 1045, 1046}, command);
}

void ShowFileLine(HWND dialog, int command) { ShowControls(dialog, {1045, 1046}, command); }
