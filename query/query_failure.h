// What the user is told when a query on the server gave no answer, or an
// answer that the caller cannot go on with: the same for the update job,
// the manual download and the change-user-info flow.
#pragma once

#include "core/job_reporter.h"
#include "net/http_session.h"
#include "query/update_query.h"

// How the failure shows: as a failed step of a job (" Error" and the
// transfer's cause end its status line, then the box), or as the box alone.
enum class QueryFailureShown { kFailedStep, kBoxOnly };

// True when result is an answer. Otherwise tells the user why there is none
// and returns false: no connection (or no memory for the reply) is "cannot
// connect"; a reply too short, or longer than the session's reply limit (no
// answer of ours can be), is an invalid response, the long one with the
// exclamation icon. A query stopped by the user ends with the stop line and
// no box.
bool CheckQueryAnswered(QueryResult result, const CHttpSession& session, CJobReporter& reporter,
                        QueryFailureShown shown);

// Tells the user why an update query's answer ends the caller's work, for
// an answer the caller has no use for: a client too old to go on (update
// first), a client update without its address or an answer of no known
// kind (an invalid response, the unknown one with the exclamation icon and,
// as a failed step, after " Error"), a refused login, or a card whose owner
// is not registered yet (what to press to register).
void TellUnusableAnswer(UpdateAnswer answer, CJobReporter& reporter, QueryFailureShown shown);
