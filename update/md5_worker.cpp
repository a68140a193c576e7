#include "update/md5_worker.h"

#include <system_error>
#include <utility>

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
  return Queue({&md5, data, size, {}});
}

std::uint64_t CMd5Worker::AddStep(std::function<void()> step) {
  return Queue({nullptr, nullptr, 0, std::move(step)});
}

void CMd5Worker::Do(Piece& piece) {
  if (piece.md5)
    piece.md5->Update(piece.data, piece.size);
  else
    piece.step();
}

std::uint64_t CMd5Worker::Queue(Piece piece) {
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
    lock.unlock();
    Do(piece);
    lock.lock();
    m_nDone = ticket;
    return ticket;
  }
  m_queue.push_back(std::move(piece));
  lock.unlock();
  m_added.notify_one();
  return ticket;
}

void CMd5Worker::Wait(std::uint64_t ticket) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_done.wait(lock, [&] { return m_nDone >= ticket; });
}

bool CMd5Worker::Done(std::uint64_t ticket) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_nDone >= ticket;
}

void CMd5Worker::Run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_added.wait(lock, [&] { return m_bEnd || !m_queue.empty(); });
    if (m_queue.empty()) return;
    Piece piece = std::move(m_queue.front());
    m_queue.pop_front();
    lock.unlock();
    Do(piece);
    lock.lock();
    ++m_nDone;
    m_done.notify_all();
  }
}
