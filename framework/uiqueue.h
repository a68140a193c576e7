// The user-interface thread's ordered work queue. Posted window messages,
// window calls made from worker threads and dialogs requested by workers all
// pass through it, so the UI thread handles them in the order they were made.
#pragma once

#include <chrono>
#include <functional>

namespace afx {

// Marks the calling thread as the UI thread (the one that runs dialogs).
void SetUiThread();
bool IsUiThread();

// Queues work for the UI thread; callable from any thread.
void PostToUi(std::function<void()> work);
// Runs one queued item on the UI thread; false when the queue was empty.
bool RunOneQueued();
bool HasQueuedWork();
// Blocks the UI thread until work is queued, a thread ends, or the time runs out.
void WaitForUiWork(std::chrono::milliseconds timeout);
// Called with the queue's lock released whenever work is queued, so that a
// backend can wake its event loop.
void SetUiWakeHandler(std::function<void()> wake);

// Runs work on the UI thread and returns its result: directly on the UI
// thread, else queued while the caller blocks. When the UI closes before
// the work ran, the caller gets fallback instead of waiting for ever.
int CallOnUi(const std::function<int()>& work, int fallback);

// The UI is open while a top-level modal loop runs; closing it releases
// every worker that waits in CallOnUi.
void SetUiOpen(bool open);
bool IsUiOpen();

// Worker threads started with AfxBeginThread that have not ended yet.
void ThreadStarted();
void ThreadEnded();
int RunningThreadCount();

}  // namespace afx
