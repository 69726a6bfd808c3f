#pragma once

// The process-wide objects of the drawing code: the drawing lock, the DrawDib handle used for
// stretched blits, and the GDI+ start-up token. The lock and the DrawDib handle are made during
// static initialisation, before the entry point runs; GDI+ starts on the first PNG decode and
// stops when the last CHBitmap dies, or at exit through ShutDownGdiplus.

#include <windows.h>
#include <vfw.h>

// Guards GDI+ start-up and shut-down and the count of live bitmaps.
CRITICAL_SECTION& DrawingLock();

// The DrawDib handle of the process (DrawDibOpen), or null when it could not be opened.
HDRAWDIB DrawDibHandle();

// Holds the drawing lock for one scope.
class DrawingLockGuard {
public:
    DrawingLockGuard() { EnterCriticalSection(&DrawingLock()); }
    ~DrawingLockGuard() { LeaveCriticalSection(&DrawingLock()); }
    DrawingLockGuard(const DrawingLockGuard&) = delete;
    DrawingLockGuard& operator=(const DrawingLockGuard&) = delete;
};

// Starts GDI+ (version 1, every other input 0) unless it is up; true when it is up afterwards.
bool StartGdiplus();

// Shuts GDI+ down when it is up. The start-up code calls it at exit; the last CHBitmap to die
// calls it too.
void ShutDownGdiplus();

// Whether GDI+ is up now, for tests.
bool IsGdiplusStarted();
