#pragma once

// WorkerThread: the record through which a window runs its one background routine. The owner
// asks the routine to stop through cancelRequested, which the routine polls.

#include <windows.h>

#include <atomic>

struct WorkerThread {
    using Routine = int (*)(WorkerThread* record, void* context);

    std::atomic<LONG> cancelRequested{0};
    // The running thread, null when none is recorded. The record owns the handle: the thread
    // closes it as it ends, or Stop does, whichever takes it first.
    std::atomic<HANDLE> thread{nullptr};
    void* context = nullptr;
    Routine routine = nullptr;

    // False, changing nothing, while a thread is recorded.
    bool Start(Routine work, void* owner);
    // Ends a thread that still runs; called when the owner is destroyed.
    void Stop();
};
