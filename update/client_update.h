// The client's self-update, job side: the download of a newer client named
// by a "C" answer, and the check of the running client against the list's
// client entry.
#pragma once

#include <cstdint>
#include <vector>

#include "core/job_reporter.h"
#include "core/update_result.h"
#include "net/http_session.h"
#include "update/update_file_entry.h"
#include "update/version_file.h"

// The largest new client a "C" answer may deliver.
constexpr std::uint64_t kMaxClientReply = 256ull << 20;

// Fetches the client named by the "C" answer body into "new_koral70.exe"
// on session, then asks the window to start it and returns
// kUpdateHandedOver. Reports every failure itself; nothing is written or
// started then. A client that finishes a self-update (job.bSelfUpdated) and
// is sent a client equal to itself stops there: handing over would only
// start the same request again. A program that runs from outside the card
// (job.bProgramOffCard) fetches nothing: it says that it is too old for the
// server and returns kUpdateNoLogin.
UpdateResult DownloadNewClient(const JOBPARAM& job, CJobReporter& reporter, CHttpSession& session,
                               const unsigned char* answer, std::uint32_t size);

// The first entry named "Support\updater\koral70.exe"; null when none is.
UpdateFileEntry* FindClientEntry(std::vector<UpdateFileEntry>& list);

// Whether the running "koral70.exe" differs from the list's client entry
// (none: false; a client that cannot be digested counts as current). A
// client that finishes a self-update and is the entry itself counts as
// current too, whatever "koral70.exe" holds: it would only hand over to
// itself again.
bool RunningClientDiffers(const JOBPARAM& job, std::vector<UpdateFileEntry>& list);

// Switches a pass to client-update mode: deletes the card copy and reports
// it; every other entry then takes its record from the version file, if it
// has one, so that the version file written after the pass keeps them.
void EnterClientUpdateMode(CJobReporter& reporter, std::vector<UpdateFileEntry>& list,
                           const CVersionFile& versionFile);
