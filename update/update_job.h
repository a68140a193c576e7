// The update job's body: logs the card in with the update query and turns the
// answer into its outcome (a new client, a message, or the download pass).
#pragma once

#include "core/job_reporter.h"

// Runs on the job thread and reports through reporter; returns how the
// update ended (UpdateResult).
int RunUpdateJob(JOBPARAM* job, CJobReporter& reporter);
