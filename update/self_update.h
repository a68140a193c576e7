// Client self-update: the swap that a freshly started new client makes to
// put itself in place as "koral70.exe".
#pragma once

// Run at start with the switch "e": renames "koral70.exe" to
// "old_koral70.exe" and the running program's file to "koral70.exe", then
// deletes the old one. Both renames share a budget of 500 ms; when it runs
// out the files are left (or put back) as a working client.
void FinishSelfUpdate();

// Copies the card's copy of the client, "Support\updater\koral70.exe", to
// "new_koral70.exe". 0 on success; -1 when the card copy does not exist; 1
// when a file or the buffer could not be had (reported with a message box);
// 2 when reading failed; 3 when writing failed.
int CopyCardClient();
