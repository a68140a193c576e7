// Trying an exchange again after the network failed it: the update query,
// each file, each log upload, the manual and the registration form. One
// policy serves one job (or one flow), so its bounds hold for the whole run.
#pragma once

#include <cstdint>

#include "core/job_reporter.h"
#include "net/http_session.h"

// How one try of an exchange ended.
enum class TryOutcome {
  kDone,            // an answer arrived (it may say no), or a failure no new try mends
  kConnectionLost,  // refused, reset or closed early, timed out, stalled, name not resolved
  kServerBusy,      // a 5xx or 429 reply that is not a usable answer
};

// The outcome of a transfer that ended with result on session; usable tells
// whether a reply that came is an answer the caller can use whatever its
// status. A full card, a cancelled transfer or a reply over its limit are
// done: trying again would end the same way.
TryOutcome JudgeTry(HttpResult result, const CHttpSession& session, bool usable);

class CRetryPolicy {
 public:
  // Tries of one exchange, the first included.
  static constexpr int kMaxTries = 4;
  // No try starts later than this after the exchange's first failure...
  static constexpr std::uint64_t kRetryWindowMs = 30'000;
  // ...and the waits of one run never add up to more than this.
  static constexpr std::uint64_t kMaxWaitsMs = 120'000;

  // reporter (may be null: the waits are silent and cannot be stopped)
  // shows each wait on the status log and tells when the user asks to stop.
  explicit CRetryPolicy(CJobReporter* reporter);

  // Runs tryOnce() (returning a TryOutcome) until it is done or no further
  // try is allowed. False when the user asked to stop during a wait: the
  // caller then stops as for a cancelled transfer.
  template <typename Try>
  bool Run(Try tryOnce) {
    m_tries = 0;
    for (;;) {
      ++m_tries;
      const TryOutcome outcome = tryOnce();
      if (outcome == TryOutcome::kDone) return true;
      if (!WaitBeforeNextTry(outcome)) return !m_stopped;
    }
  }

 private:
  // Waits before the next try; false when none follows (the tries, the
  // window or the waits are used up, or the user asked to stop).
  bool WaitBeforeNextTry(TryOutcome why);

  CJobReporter* m_reporter;
  int m_tries = 0;
  std::uint64_t m_firstFailure = 0;  // tick of the current exchange's first failure
  std::uint64_t m_waited = 0;        // ms waited in this run
  std::uint32_t m_seed;
  bool m_stopped = false;
};

// Runs tryOnce under the session's retry policy, or once when it has none.
// False when the user asked to stop during a wait: the caller then stops as
// for a cancelled transfer.
template <typename Try>
bool RunTries(CHttpSession& session, Try tryOnce) {
  if (CRetryPolicy* policy = session.RetryPolicy()) return policy->Run(tryOnce);
  tryOnce();
  return true;
}

// Performs the request prepared on session (its url-form body is sent again
// on every try), tried again under the session's policy; usable(session)
// tells whether a reply with a busy status is an answer all the same.
// kCancelled when the user asked to stop during a wait.
template <typename Usable>
HttpResult PerformWithRetry(CHttpSession& session, Usable usable) {
  HttpResult result = HttpResult::kFailed;
  const bool waited = RunTries(session, [&] {
    result = session.Perform();
    return JudgeTry(result, session, result == HttpResult::kOk && usable(session));
  });
  return waited ? result : HttpResult::kCancelled;
}

// Test seam: waits last this many thousandths of their length (1000), so a
// test of the tries does not wait for real seconds. Only code can set it.
void SetRetryWaitScaleForTesting(unsigned permille);
