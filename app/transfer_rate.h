// The speed of a transfer, from the bytes it had at moments of a steady
// clock: measured over the last few seconds, so that it follows changes
// without jumping at every block.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

#include "platform/wintypes.h"

class CTransferRate {
 public:
  // The bytes done at tick (ms). A count below the last one starts the
  // measurement again, so that no speed comes from a falling count. While
  // paused, counts are not measured.
  void Add(ULONGLONG tick, std::uint64_t bytes);
  // Bytes a second; 0 while paused and until a second of transfer has been
  // seen.
  double BytesPerSecond() const;
  // No transfer runs from tick on (a wait between tries, or the end of the
  // transfers): the speed measured after Resume leaves the pause out.
  void Pause(ULONGLONG tick);
  void Resume(ULONGLONG tick);
  void Reset() { m_samples.clear(); }

 private:
  std::deque<std::pair<ULONGLONG, std::uint64_t>> m_samples;
  std::optional<ULONGLONG> m_pausedAt;
  ULONGLONG m_pausedMs = 0;  // the pauses' length so far: ticks are measured without it
};
