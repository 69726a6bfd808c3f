#include "package/shell_util.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "package/string_util.h"

namespace {

constexpr DWORD kPathBuffer = 520;
constexpr FILEOP_FLAGS kSilentFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;  // 0x414

// SHFileOperationW takes lists of paths, each zero-terminated, ended by an extra zero.
std::wstring DoubleZero(const std::wstring& path)
{
    std::wstring list = path;
    list.push_back(L'\0');
    return list;
}

bool ShellDelete(const std::wstring& path)
{
    std::wstring from = DoubleZero(path);
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = kSilentFlags;
    return SHFileOperationW(&operation) == 0;
}

}  // namespace

std::wstring GetModulePath()
{
    wchar_t buffer[kPathBuffer];
    DWORD n = GetModuleFileNameW(nullptr, buffer, kPathBuffer);
    if (n == 0 || n >= kPathBuffer)
        return std::wstring();
    return std::wstring(buffer, n);
}

std::wstring GetTempFolder()
{
    wchar_t buffer[kPathBuffer];
    DWORD n = GetTempPathW(kPathBuffer, buffer);
    if (n == 0 || n >= kPathBuffer)
        return std::wstring();
    return std::wstring(buffer, n);
}

std::wstring GetSpecialFolder(int csidl)
{
    wchar_t buffer[kPathBuffer] = L"";
    if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE))
        return std::wstring();
    return buffer;
}

std::wstring GetQuickLaunchFolder()
{
    std::wstring appData = GetSpecialFolder(CSIDL_APPDATA);
    if (appData.empty())
        return std::wstring();
    return appData + L"\\Microsoft\\Internet Explorer\\Quick Launch";
}

bool EnsureFolder(const std::wstring& path)
{
    int result = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (result == ERROR_SUCCESS)
        return true;
    // "Already exists" is also the answer when a file of that name is in the way.
    if (result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS)
        return PathIsDirectoryW(path.c_str()) != FALSE;
    return false;
}

bool ShellCopyFile(const std::wstring& from, const std::wstring& to)
{
    std::wstring source = DoubleZero(from);
    std::wstring target = DoubleZero(to);
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_COPY;
    operation.pFrom = source.c_str();
    operation.pTo = target.c_str();
    operation.fFlags = kSilentFlags;
    return SHFileOperationW(&operation) == 0;
}

bool ShellDeleteIfExists(const std::wstring& path)
{
    if (!PathFileExistsW(path.c_str()))
        return false;
    return ShellDelete(path);
}

bool ShellDeleteFolder(const std::wstring& path)
{
    if (!IsDeletableFolderPath(path))
        return false;
    return ShellDelete(path);
}

bool BrowseForFolder(std::wstring& path, HWND owner)
{
    path.clear();
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr)
        return false;
    wchar_t displayName[MAX_PATH] = L"";
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = L"";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;  // 0x59
    LPITEMIDLIST item = SHBrowseForFolderW(&info);
    if (item != nullptr) {
        wchar_t folder[MAX_PATH] = L"";
        if (SHGetPathFromIDListW(item, folder))
            path = folder;
        allocator->Free(item);
    }
    allocator->Release();
    return !path.empty();
}
