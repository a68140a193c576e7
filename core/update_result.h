// How an update job ended. RunUpdateJob returns it, UpdateThreadProc hands
// it to the window with WM_JOB_FINISHED, and an unattended run ends the
// program with it as its exit status.
#pragma once

enum UpdateResult : int {
  kUpdateCurrent = 0,         // the card is current
  kUpdateNotFinished = 1,     // the window ended before the update did
  kUpdateNoLogin = 2,         // no credentials, no server, refused login or no usable answer
  kUpdateTransferFailed = 3,  // a transfer or a write on the card failed
  kUpdateLogsLeft = 4,        // the card is current, but log files stayed on it
  kUpdateHandedOver = 5,      // a new client was started to finish the update
  kUpdateCardBusy = 6,        // another client is updating the card; this one touched nothing
  kUpdateNoCard = 7,          // started outside any card, none was found or chosen; nothing touched
};
