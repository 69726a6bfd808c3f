// Makes shortcuts for the Linux-side check: to a file and to a folder under C:\qv-lnk.
#include <windows.h>

#include "installer/shell_links.h"
#include "package/file_io.h"
#include "package/shell_util.h"

int wmain()
{
    const std::wstring root = L"C:\\qv-lnk";
    ShellDeleteFolder(root);
    if (!EnsureFolder(root + L"\\\u8D44\u6E90") || !WriteWholeFile(root + L"\\lumetra_ios.exe", "MZ"))
        return 2;
    bool file = CreateShortcut(root + L"\\lumetra_ios.exe", root + L"\\file.lnk");
    bool folder = CreateShortcut(root + L"\\\u8D44\u6E90", root + L"\\folder.lnk");
    return file && folder ? 0 : 1;
}
