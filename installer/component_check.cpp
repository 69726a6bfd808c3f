#include "installer/component_check.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

// A REG_SZ or REG_EXPAND_SZ value (not expanded); empty for anything else.
std::wstring ReadText(const wchar_t* keyPath, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t buffer[520] = L"";
    DWORD type = 0;
    DWORD size = sizeof buffer - sizeof(wchar_t);  // room for a terminator the data may lack
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    buffer[size / sizeof(wchar_t)] = L'\0';
    return buffer;
}

}  // namespace

std::wstring ExeToDll(std::wstring text)
{
    for (size_t at = text.find(L".exe"); at != std::wstring::npos; at = text.find(L".exe", at + 4))
        text.replace(at, 4, L".dll");
    return text;
}

bool IsComponentInstalled()
{
    const std::wstring library = ExeToDll(ReadText(kItunesKey, L"path"));
    if (library.empty() || !PathFileExistsW(library.c_str()))
        return false;
    const std::wstring device = ReadText(kDeviceSupportKey, L"AirTrafficHostDLL");
    return !device.empty() && PathFileExistsW(device.c_str());
}
