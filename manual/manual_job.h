// The user-manual download job: asks the server for the manual's address,
// downloads the PDF with kilobyte progress, lets the user save it and opens
// it (or, when no program can show it, tells where it was saved).
#pragma once

#include <cstdint>
#include <string>

#include "core/job_reporter.h"
#include "framework/cstring.h"

// The job's body, on the job thread; reports through reporter, the save
// dialog included. Returns 0.
int RunManualJob(JOBPARAM* job, CJobReporter& reporter);

// The largest manual the job accepts.
constexpr std::uint64_t kManualReplyLimit = std::uint64_t{1} << 30;

// The files the save dialog offers for the manual.
constexpr const wchar_t* kManualFileFilter = L"PDF Document (*.pdf)|*.pdf||";

// The name the save dialog suggests for a manual-query reply: the part after
// the last "/" that is not among the reply's last three bytes (the whole
// reply when there is none), cut to 99 UTF-16 units.
CString SuggestedManualName(const std::string& reply);
