// The names of the client's own files in the card's root.
#pragma once

constexpr const char* kRunningClient = "koral70.exe";
constexpr const char* kNewClient = "new_koral70.exe";
constexpr const char* kOldClient = "old_koral70.exe";  // left by older clients' swaps

// The number "Cannot create file (%d)" shows for the client's own files,
// which have no list entry to name.
constexpr int kNoEntryNumber = 0;
