// What the user is told when a query on the server gave no answer: the same
// for the update job, the manual download and the change-user-info flow.
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
