// Process entry. The program learns from its own package trailer whether it is an installer or
// an uninstaller; a broken package is refused before anything is shown or changed on disk.

#include <windows.h>

#include "package/json/json_value.h"
#include "package/own_package.h"
#include "package/package_config.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    JsonValue config;
    if (!ReadPackageConfig(config) || DecideRole(config) == PackageRole::kRejected) {
        MessageBoxW(nullptr, L"安装包校验失败, 操作终止.", L"", MB_ICONERROR);
        TerminateProcess(GetCurrentProcess(), 0);
    }
    // The installer and uninstaller windows are built on top of this start.
    return 0;
}
