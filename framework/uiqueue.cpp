#include "uiqueue.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace afx {
namespace {
struct Queue {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<std::function<void()>> items;
  std::function<void()> wake;
  std::thread::id uiThread;
  bool uiOpen = false;
  int runningThreads = 0;
};
Queue& Q() {
  static Queue* queue = new Queue;  // never destroyed: detached threads may post at exit
  return *queue;
}

void Wake() {
  std::function<void()> wake;
  {
    std::lock_guard<std::mutex> guard(Q().lock);
    wake = Q().wake;
  }
  Q().changed.notify_all();
  if (wake) wake();
}
}  // namespace

void SetUiThread() {
  std::lock_guard<std::mutex> guard(Q().lock);
  Q().uiThread = std::this_thread::get_id();
}

bool IsUiThread() {
  std::lock_guard<std::mutex> guard(Q().lock);
  return Q().uiThread == std::this_thread::get_id();
}

void PostToUi(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> guard(Q().lock);
    Q().items.push_back(std::move(work));
  }
  Wake();
}

bool RunOneQueued() {
  std::function<void()> work;
  {
    std::lock_guard<std::mutex> guard(Q().lock);
    if (Q().items.empty()) return false;
    work = std::move(Q().items.front());
    Q().items.pop_front();
  }
  work();
  return true;
}

bool HasQueuedWork() {
  std::lock_guard<std::mutex> guard(Q().lock);
  return !Q().items.empty();
}

void WaitForUiWork(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(Q().lock);
  Q().changed.wait_for(guard, timeout, [] { return !Q().items.empty(); });
}

void SetUiWakeHandler(std::function<void()> wake) {
  std::lock_guard<std::mutex> guard(Q().lock);
  Q().wake = std::move(wake);
}

int CallOnUi(const std::function<int()>& work, int fallback) {
  if (IsUiThread()) return work();
  struct Call {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    int result = 0;
  };
  auto call = std::make_shared<Call>();
  {
    std::lock_guard<std::mutex> guard(Q().lock);
    if (!Q().uiOpen) return fallback;
  }
  PostToUi([call, work] {
    int result = work();
    std::lock_guard<std::mutex> guard(call->lock);
    call->result = result;
    call->finished = true;
    call->done.notify_all();
  });
  std::unique_lock<std::mutex> guard(call->lock);
  for (;;) {
    if (call->done.wait_for(guard, std::chrono::milliseconds(100), [&] { return call->finished; }))
      return call->result;
    if (!IsUiOpen()) return fallback;
  }
}

void SetUiOpen(bool open) {
  {
    std::lock_guard<std::mutex> guard(Q().lock);
    Q().uiOpen = open;
  }
  Q().changed.notify_all();
}

bool IsUiOpen() {
  std::lock_guard<std::mutex> guard(Q().lock);
  return Q().uiOpen;
}

void ThreadStarted() {
  std::lock_guard<std::mutex> guard(Q().lock);
  ++Q().runningThreads;
}

void ThreadEnded() {
  {
    std::lock_guard<std::mutex> guard(Q().lock);
    --Q().runningThreads;
  }
  Wake();
}

int RunningThreadCount() {
  std::lock_guard<std::mutex> guard(Q().lock);
  return Q().runningThreads;
}

}  // namespace afx
