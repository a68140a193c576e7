#include "app/transfer_rate.h"

namespace {
constexpr ULONGLONG kWindowMs = 3000;  // the stretch the speed is measured over
constexpr ULONGLONG kShortestMs = 1000;  // a speed needs at least this much
}  // namespace

void CTransferRate::Add(ULONGLONG tick, std::uint64_t bytes) {
  if (m_pausedAt) return;
  tick -= m_pausedMs;
  if (!m_samples.empty() && bytes < m_samples.back().second) m_samples.clear();
  if (!m_samples.empty() && m_samples.back().first == tick) {
    m_samples.back().second = bytes;
  } else {
    m_samples.emplace_back(tick, bytes);
  }
  // Keep one sample older than the window, so that the window stays full.
  while (m_samples.size() > 2 && tick - m_samples[1].first >= kWindowMs) m_samples.pop_front();
}

double CTransferRate::BytesPerSecond() const {
  if (m_pausedAt || m_samples.size() < 2) return 0;
  const auto& [firstTick, firstBytes] = m_samples.front();
  const auto& [lastTick, lastBytes] = m_samples.back();
  if (lastTick - firstTick < kShortestMs) return 0;
  return static_cast<double>(lastBytes - firstBytes) * 1000.0 / static_cast<double>(lastTick - firstTick);
}

void CTransferRate::Pause(ULONGLONG tick) {
  if (!m_pausedAt) m_pausedAt = tick;
}

void CTransferRate::Resume(ULONGLONG tick) {
  if (!m_pausedAt) return;
  if (tick > *m_pausedAt) m_pausedMs += tick - *m_pausedAt;
  m_pausedAt.reset();
}
