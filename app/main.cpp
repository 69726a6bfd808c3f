// Process entry. The one application object and the process-wide objects live here; the main
// window's creation decides whether this run installs or uninstalls.

#include <windows.h>

#include "app/ch_app.h"
#include "app/ch_quorvil_app.h"
#include "installer/ch_main_wnd.h"
#include "ui/drawing_globals.h"

namespace {

CHWindow* MakeMainWindow()
{
    return new CHMainWnd;
}

CHQuorvilApp g_application(&MakeMainWindow);

}  // namespace

CHApp* const g_currentAppSetter = (CurrentApp = &g_application);

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand)
{
    int code = RunApplication(*CurrentApp, instance, previousInstance, commandLine, showCommand);
    ShutDownGdiplus();
    return code;
}
