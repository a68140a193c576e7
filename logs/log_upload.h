// Log upload: every file of the card's log folder tree goes to the server and
// is deleted once sent; emptied folders, the root included, are removed. The
// walk is silent and its outcome does not concern the update.
#pragma once

#include "framework/cstring.h"

class CHttpSession;

// True from the first failure anywhere in a walk to its end: from then on
// files are still sent but nothing is deleted or removed. Only UploadLogs
// sets it (and g_pUploadSession), for the length of its walk.
extern bool g_bUploadFailed;

// Walks folder (the log folder's path) with "*.*" on session, which has
// carried the login, so its cookies go with every request: announces each
// subfolder with "dir=" and its path below the log folder, uploads each file
// as "file" and "name" parts, deletes and removes as long as nothing failed.
// A file whose folder is not the one announced last (a log folder's own file
// listed after a subfolder) is preceded by its folder's announcement again,
// so every log arrives in its own folder. An upload counts as sent when its
// transfer completed with a 2xx status. Only folders and regular files of a
// single name are logs: links (hard links too), pipes, sockets and devices
// are neither followed, read nor deleted, and a folder that holds one stays without that counting as a
// failure.
// Returns how many log files the server took and how many stayed on the card,
// and whether anything failed (g_bUploadFailed at the walk's end). The upload
// session is cleared again before it returns.
struct LogUploadCounts {
  int sent = 0;
  int left = 0;
  bool failed = false;
};
LogUploadCounts UploadLogs(CHttpSession& session, const wchar_t* folder);

// The card's log folder: for a program on the card "logs" in the folder that
// holds it (the card's root), or "D:\logs_2" when the program's path is
// empty; for a program that runs from outside the card (programOffCard)
// "logs" in the current directory, the card's root.
CString CardLogFolder(const wchar_t* modulePath, bool programOffCard);
