#include "package/system_util.h"

#include <objbase.h>

bool LoadResourceBytes(HMODULE module, const wchar_t* type, int id, std::string& bytes)
{
    bytes.clear();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (resource == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr)
        return false;
    const void* data = LockResource(loaded);
    DWORD size = SizeofResource(module, resource);
    if (data != nullptr && size != 0)
        bytes.assign(static_cast<const char*>(data), size);
    FreeResource(loaded);
    return !bytes.empty();
}

bool IsVistaOrLater()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 276 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExW(&info);
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

uint64_t NewRandom64()
{
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        return 0;
    uint32_t high = static_cast<uint32_t>(guid.Data2) + static_cast<uint32_t>(guid.Data3) * 65536u;
    return (static_cast<uint64_t>(high) << 32) | guid.Data1;
}
