// The card's credentials file "pass.ini": serial number and password.
#pragma once

#include "framework/afx.h"

// Reads "pass.ini" from the current directory (the card's root) into serial
// and password, then writes the dialog's members to its controls. When the
// file cannot be opened nothing changes and nothing is reported.
void ReadCredentialsFile(CDialog* dialog, CString& serial, CString& password);

// The same parsing over an open stream, for the file and for tests.
void ReadCredentials(std::FILE* file, CString& serial, CString& password);
