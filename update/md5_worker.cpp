#include "update/md5_worker.h"

#include <system_error>

CMd5Worker::~CMd5Worker() {
  if (!m_thread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bEnd = true;
  }
  m_added.notify_one();
  m_thread.join();
}

std::uint64_t CMd5Worker::Add(CMd5& md5, const unsigned char* data, std::size_t size) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!m_thread.joinable() && !m_bNoThread) {
    try {
      m_thread = std::thread(&CMd5Worker::Run, this);
    } catch (const std::system_error&) {
      m_bNoThread = true;
    }
  }
  const std::uint64_t ticket = ++m_nAdded;
  if (m_bNoThread) {
    md5.Update(data, size);
    m_nDigested = ticket;
    return ticket;
  }
  m_queue.push_back({&md5, data, size});
  lock.unlock();
  m_added.notify_one();
  return ticket;
}

void CMd5Worker::Wait(std::uint64_t ticket) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_digested.wait(lock, [&] { return m_nDigested >= ticket; });
}

void CMd5Worker::Run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_added.wait(lock, [&] { return m_bEnd || !m_queue.empty(); });
    if (m_queue.empty()) return;
    const Piece piece = m_queue.front();
    m_queue.pop_front();
    lock.unlock();
    piece.md5->Update(piece.data, piece.size);
    lock.lock();
    ++m_nDigested;
    m_digested.notify_all();
  }
}
