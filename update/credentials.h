// The card's credentials file "pass.ini": serial number and password.
#pragma once

#include <cstdio>

#include "framework/cstring.h"

// Reads "pass.ini" from the current directory (the card's root) into serial
// and password; true when it was read, and the window then shows the values.
// When the file cannot be opened nothing changes and nothing is reported.
bool ReadCredentialsFile(CString& serial, CString& password);

// The same parsing over an open stream, for the file and for tests.
void ReadCredentials(std::FILE* file, CString& serial, CString& password);
