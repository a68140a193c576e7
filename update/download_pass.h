// The download pass: after a list was accepted, uploads the card's logs,
// fetches every missing or changed file from "/script/get.php", rewrites
// "ver.dat" and ends with one summary message.
#pragma once

#include <vector>

#include "core/job_reporter.h"
#include "core/update_result.h"
#include "net/http_session.h"
#include "update/update_file_entry.h"

// session is the one that carried the update query (its cookies are the
// login). The list's digests are updated in place. Reports through reporter.
// Each card file is judged once a pass: an entry whose name an earlier entry
// had (in other letter case too, when caseInsensitiveCard) is taken as it
// stands. Returns how the pass ended: a hand-over when it asked the window to
// start the new client.
UpdateResult RunDownloadPass(JOBPARAM* job, CJobReporter& reporter, CHttpSession& session,
                             std::vector<UpdateFileEntry>& list, bool caseInsensitiveCard);
