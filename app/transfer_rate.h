// The speed of a transfer, from the bytes it had at moments of a steady
// clock: measured over the last few seconds, so that it follows changes
// without jumping at every block.
#pragma once

#include <cstdint>
#include <deque>
#include <utility>

#include "platform/wintypes.h"

class CTransferRate {
 public:
  // The bytes done at tick (ms). The bytes never go back within a job.
  void Add(ULONGLONG tick, std::uint64_t bytes);
  // Bytes a second; 0 until a second of transfer has been seen.
  double BytesPerSecond() const;

 private:
  std::deque<std::pair<ULONGLONG, std::uint64_t>> m_samples;
};
