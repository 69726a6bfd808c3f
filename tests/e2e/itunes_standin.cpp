// Stands in for Apple's installer in the download test (a window program, as installers are): writes its own path into
// C:\qv-e2e\itunes-ran.txt, waits a moment so the installer's wait for it can be seen, and ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CreateDirectoryW(L"C:\\qv-e2e", nullptr);
    char narrow[MAX_PATH * 3] = "";
    WideCharToMultiByte(CP_UTF8, 0, path, -1, narrow, sizeof narrow, nullptr, nullptr);
    FILE* file = _wfopen(L"C:\\qv-e2e\\itunes-ran.txt", L"wb");
    if (file != nullptr) {
        fputs(narrow, file);
        fclose(file);
    }
    Sleep(1500);
    return 0;
}
