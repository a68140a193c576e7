#include "net/retry.h"

#include <atomic>

#include "core/catalogue.h"
#include "platform/system.h"

namespace {
// The waits before the second, third and fourth try.
constexpr std::uint64_t kWaitMs[CRetryPolicy::kMaxTries - 1] = {1000, 2000, 4000};
// Up to this much is added to each wait, so that many clients that lost the
// same server do not all come back at the same instant.
constexpr std::uint32_t kJitterMs = 250;
// How often a wait looks for the user's request to stop.
constexpr std::uint64_t kSliceMs = 50;
std::atomic<unsigned> g_waitPermille{1000};
}  // namespace

TryOutcome JudgeTry(HttpResult result, const CHttpSession& session, bool usable) {
  switch (result) {
    case HttpResult::kFailed:
    case HttpResult::kTimedOut:
      return TryOutcome::kConnectionLost;
    case HttpResult::kOk:
      break;
    default:
      return TryOutcome::kDone;
  }
  long status = 0;
  if (usable || !session.GetStatusCode(status)) return TryOutcome::kDone;
  return status >= 500 || status == 429 ? TryOutcome::kServerBusy : TryOutcome::kDone;
}

CRetryPolicy::CRetryPolicy(CJobReporter* reporter)
    : m_reporter(reporter), m_seed(static_cast<std::uint32_t>(GetTickCount64())) {}

bool CRetryPolicy::WaitBeforeNextTry(TryOutcome why) {
  if (m_reporter && m_reporter->IsCancelled()) {
    m_stopped = true;
    return false;
  }
  const std::uint64_t now = GetTickCount64();
  if (m_tries == 1) m_firstFailure = now;
  if (m_tries >= kMaxTries) return false;
  m_seed = m_seed * 1103515245u + 12345u;  // enough randomness for a jitter
  const std::uint64_t base = kWaitMs[m_tries - 1];
  const std::uint64_t wait = (base + (m_seed >> 16) % kJitterMs) * g_waitPermille / 1000;
  if (now + wait - m_firstFailure > kRetryWindowMs || m_waited + wait > kMaxWaitsMs) return false;
  m_waited += wait;

  if (m_reporter) {
    CString line;
    line.Format(GetMsg(why == TryOutcome::kServerBusy ? Msg::kRetryServerBusy : Msg::kRetryConnection),
                static_cast<int>(base / 1000), m_tries + 1, kMaxTries);
    // The count line's speed leaves the wait out.
    m_reporter->PauseTransfers();
    m_reporter->PostStatus(line);
  }
  for (const std::uint64_t end = GetTickCount64() + wait; GetTickCount64() < end;) {
    if (m_reporter && m_reporter->IsCancelled()) {
      m_stopped = true;
      return false;
    }
    const std::uint64_t left = end - GetTickCount64();
    Sleep(static_cast<DWORD>(left < kSliceMs ? left : kSliceMs));
  }
  if (m_reporter) m_reporter->ResumeTransfers();
  return true;
}

void SetRetryWaitScaleForTesting(unsigned permille) { g_waitPermille = permille; }
