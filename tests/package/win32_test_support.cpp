#include "win32_test_support.h"

#include <windows.h>

#include <cstdio>

#include "package/shell_util.h"
#include "package/system_util.h"

ScratchFolder::ScratchFolder()
{
    wchar_t name[64];
    std::swprintf(name, 64, L"qv-test-%016llX", static_cast<unsigned long long>(NewRandom64()));
    m_path = GetTempFolder() + name;
    EnsureFolder(m_path);
}

ScratchFolder::~ScratchFolder()
{
    ShellDeleteFolder(m_path);
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
