#include "app/worker_thread.h"

#include <process.h>

namespace {

unsigned __stdcall ThreadBody(void* argument)
{
    auto* record = static_cast<WorkerThread*>(argument);
    record->routine(record, record->context);
    HANDLE own = record->thread.exchange(nullptr);
    if (own != nullptr)
        CloseHandle(own);
    return 0;
}

}  // namespace

bool WorkerThread::Start(Routine work, void* owner)
{
    if (thread.load() != nullptr)
        return false;
    cancelRequested = 0;
    context = owner;
    routine = work;
    // Created suspended so the handle is recorded before the routine can run, however quickly
    // it ends.
    uintptr_t handle = _beginthreadex(nullptr, 0, &ThreadBody, this, CREATE_SUSPENDED, nullptr);
    if (handle == 0)
        return false;
    thread = reinterpret_cast<HANDLE>(handle);
    ResumeThread(reinterpret_cast<HANDLE>(handle));
    return true;
}

void WorkerThread::Stop()
{
    HANDLE own = thread.exchange(nullptr);
    if (own != nullptr) {
        TerminateThread(own, 0);
        CloseHandle(own);
    }
}
