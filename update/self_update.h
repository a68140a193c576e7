// Client self-update: the swap that a freshly started new client makes to
// put itself in place as "koral70.exe".
#pragma once

#include "core/job_reporter.h"

// Run at start with the switch "e": renames the running program's file over
// "koral70.exe" in one step, so the card never lacks a client. While that
// fails it retries, pausing between tries, for 500 ms; then the new client
// runs on under its own name and "koral70.exe" keeps the old one.
void FinishSelfUpdate();

// Run at every start, before FinishSelfUpdate: a card that an interrupted
// swap left with "new_koral70.exe" or "old_koral70.exe" is put in order.
// Without "koral70.exe" the new client is moved into place (or, without one,
// the old client back); beside "koral70.exe" the leftovers are deleted,
// except the running program's own file.
void RepairClientSwap();

// Copies the card's copy of the client, "Support\updater\koral70.exe", to
// "new_koral70.exe". 0 on success; -1 when the card copy does not exist; 1
// when a file or the buffer could not be had (reported through reporter);
// 2 when reading failed; 3 when writing failed.
int CopyCardClient(CJobReporter& reporter);

// For a program that runs from outside the card: puts the card's copy of the
// client in place as the card's "koral70.exe", through "new_koral70.exe" and
// one rename, as the hand-over of a client on the card would. False when
// that failed (a missing file or buffer is reported as CopyCardClient does).
bool PlaceCardClient(CJobReporter& reporter);
