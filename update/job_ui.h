// What the update job shows on the main window: its message boxes (catalogue
// texts) and the progress group of four controls.
#pragma once

#include "framework/afx.h"

// Shows catalogue message id in a message box with the given style.
void ShowJobMessage(int id, UINT type = MB_OK);
// Shows catalogue message id formatted with one number. (A name of its own:
// the style constants are long on Windows, and an overload could not tell a
// style from a number.)
void ShowJobNumberMessage(int id, int number, UINT type = MB_OK);

// Shows (SW_SHOW) or hides (SW_HIDE) controls 1008, 1009, 1045 and 1046.
void ShowProgressGroup(HWND dialog, int command);
// Shows or hides the file line and bar, 1045 and 1046.
void ShowFileLine(HWND dialog, int command);
