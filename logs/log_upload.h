// Log upload: every file of the card's log folder tree goes to the server and
// is deleted once sent; emptied folders, the root included, are removed. The
// walk is silent and its outcome does not concern the update.
#pragma once

#include "framework/cstring.h"

// True from the first failure anywhere in a walk to its end: from then on
// files are still sent but nothing is deleted or removed. The caller sets it
// to false before the walk (and g_pUploadSession to its logged-in session).
extern bool g_bUploadFailed;

// Walks folder (the log folder's path) with pattern ("*.*"): announces each
// subfolder with "dir=" and its path below the log folder, uploads each file
// as "file" and "name" parts, deletes and removes as long as nothing failed.
// An upload counts as sent when its transfer completed with a 2xx status.
// Symbolic links are neither followed, sent nor deleted.
void UploadLogFolder(const wchar_t* folder, const wchar_t* pattern);

// The card's log folder: "logs" in the folder that holds the program (the
// card's root), or "D:\logs_2" when the program's path is empty.
CString CardLogFolder(const wchar_t* modulePath);
