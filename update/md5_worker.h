// A thread that digests the pieces of received files while the transfer
// thread goes on receiving and writing, and then runs each file's last step
// (its check and its commit) behind its pieces while the next file is
// transferred: a large file then costs about what its transfer and its
// write cost, not that plus its digest and its flush.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "update/md5.h"

// One worker serves every file of a pass, one after the other; its thread
// starts with the first piece, so a pass of small files never starts it, and
// ends with the worker.
class CMd5Worker {
 public:
  CMd5Worker() = default;
  // Digests what is still queued, then ends the thread.
  ~CMd5Worker();
  CMd5Worker(const CMd5Worker&) = delete;
  CMd5Worker& operator=(const CMd5Worker&) = delete;

  // Queues size bytes at data for md5, behind every piece queued before.
  // md5 and the bytes must stay untouched by the caller until Wait for the
  // returned ticket (or a later one) has returned. When no thread can be
  // started the piece is digested here and now.
  std::uint64_t Add(CMd5& md5, const unsigned char* data, std::size_t size);
  // Queues step to run behind every piece and step queued before; returns
  // its ticket. Without a thread it runs here and now.
  std::uint64_t AddStep(std::function<void()> step);
  // Returns once the piece or step of this ticket and every one before it
  // are done. Ticket 0 is none.
  void Wait(std::uint64_t ticket);
  // Whether they are done, without waiting.
  bool Done(std::uint64_t ticket);

 private:
  // Bytes for a digest, or a step (md5 null).
  struct Piece {
    CMd5* md5;
    const unsigned char* data;
    std::size_t size;
    std::function<void()> step;
  };
  // Queues piece and returns its ticket; without a thread it is done here.
  std::uint64_t Queue(Piece piece);
  static void Do(Piece& piece);
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_added;  // a piece was queued, or the end is asked
  std::condition_variable m_done;   // a piece was digested or a step run
  std::deque<Piece> m_queue;
  std::uint64_t m_nAdded = 0;  // tickets handed out: the last piece's ticket
  std::uint64_t m_nDone = 0;   // the last done piece's ticket
  bool m_bEnd = false;
  bool m_bNoThread = false;  // starting the thread failed: all is done on the caller's
  std::thread m_thread;
};
