#include "ui/drawing_globals.h"

#include <objidl.h>
#include <gdiplus.h>

namespace {

// Made on first use, so that a bitmap built by another object's static constructor still finds
// them; kCreatedEarly below makes sure first use happens during static initialisation anyway.
struct DrawingGlobals {
    CRITICAL_SECTION lock;
    HDRAWDIB drawDib = nullptr;
    ULONG_PTR gdiplusToken = 0;  // 0 while GDI+ is not started; guarded by lock

    DrawingGlobals()
    {
        InitializeCriticalSection(&lock);
        drawDib = DrawDibOpen();
    }
    // Never destroyed: bitmaps owned by objects that live until the process ends may still take
    // the lock from their destructors during exit.
};

DrawingGlobals& Globals()
{
    static DrawingGlobals* globals = new DrawingGlobals();
    return *globals;
}

const bool kCreatedEarly = (Globals(), true);

}  // namespace

CRITICAL_SECTION& DrawingLock()
{
    return Globals().lock;
}

HDRAWDIB DrawDibHandle()
{
    return Globals().drawDib;
}

bool StartGdiplus()
{
    DrawingLockGuard guard;
    DrawingGlobals& globals = Globals();
    if (globals.gdiplusToken != 0)
        return true;
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok || token == 0)
        return false;
    globals.gdiplusToken = token;
    return true;
}

void ShutDownGdiplus()
{
    DrawingLockGuard guard;
    DrawingGlobals& globals = Globals();
    if (globals.gdiplusToken == 0)
        return;
    Gdiplus::GdiplusShutdown(globals.gdiplusToken);
    globals.gdiplusToken = 0;
}

bool IsGdiplusStarted()
{
    DrawingLockGuard guard;
    return Globals().gdiplusToken != 0;
}
