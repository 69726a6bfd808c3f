#include "app/worker_thread.h"

#include <gtest/gtest.h>

namespace {

struct Context {
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> runs{0};
    std::atomic<bool> sawCancel{false};
    ~Context()
    {
        CloseHandle(started);
        CloseHandle(release);
    }
};

// Runs until released or cancelled.
int WaitingRoutine(WorkerThread* record, void* context)
{
    auto* c = static_cast<Context*>(context);
    ++c->runs;
    SetEvent(c->started);
    while (WaitForSingleObject(c->release, 10) == WAIT_TIMEOUT) {
        if (record->cancelRequested) {
            c->sawCancel = true;
            return 1;
        }
    }
    return 0;
}

int QuickRoutine(WorkerThread*, void* context)
{
    ++static_cast<Context*>(context)->runs;
    return 0;
}

bool WaitUntil(const std::atomic<HANDLE>& handle, HANDLE value)
{
    for (int i = 0; i < 500 && handle.load() != value; ++i)
        Sleep(10);
    return handle.load() == value;
}

TEST(WorkerThread, RunsOneRoutineAtATimeAndSeesTheCancelFlag)
{
    Context context;
    WorkerThread worker;
    ASSERT_TRUE(worker.Start(&WaitingRoutine, &context));
    ASSERT_EQ(WaitForSingleObject(context.started, 5000), WAIT_OBJECT_0);
    EXPECT_NE(worker.thread.load(), nullptr);
    EXPECT_FALSE(worker.Start(&QuickRoutine, nullptr)) << "a second start while one runs changes nothing";
    EXPECT_EQ(worker.context, &context);

    worker.cancelRequested = 1;
    EXPECT_TRUE(WaitUntil(worker.thread, nullptr));
    EXPECT_TRUE(context.sawCancel);
    EXPECT_EQ(context.runs, 1);

    // A routine that ends at once leaves no handle behind, and the record can start again.
    ASSERT_TRUE(worker.Start(&QuickRoutine, &context));
    EXPECT_EQ(worker.cancelRequested, 0);
    EXPECT_TRUE(WaitUntil(worker.thread, nullptr));
    EXPECT_EQ(context.runs, 2);
}

TEST(WorkerThread, StopEndsARunningRoutine)
{
    Context context;
    WorkerThread worker;
    ASSERT_TRUE(worker.Start(&WaitingRoutine, &context));
    ASSERT_EQ(WaitForSingleObject(context.started, 5000), WAIT_OBJECT_0);
    HANDLE watch = nullptr;
    DuplicateHandle(GetCurrentProcess(), worker.thread.load(), GetCurrentProcess(), &watch, SYNCHRONIZE, FALSE, 0);
    worker.Stop();
    EXPECT_EQ(worker.thread.load(), nullptr);
    EXPECT_EQ(WaitForSingleObject(watch, 5000), WAIT_OBJECT_0);
    CloseHandle(watch);
    EXPECT_FALSE(context.sawCancel);
    worker.Stop();  // nothing recorded: harmless
}

}  // namespace
