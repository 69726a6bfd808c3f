#include "installer/uninstall_entry.h"

#include <windows.h>

#include "installer/product_names.h"

namespace {

void SetText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    // The data includes the terminating NUL.
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

std::wstring UninstallCommand(const std::wstring& uninstallerPath)
{
    return L"\"" + uninstallerPath + L"\"";
}

void WriteUninstallEntry(const std::wstring& uninstallerPath)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    SetText(key, L"DisplayName", kProductName);
    SetText(key, L"DisplayIcon", uninstallerPath);
    SetText(key, L"UninstallString", UninstallCommand(uninstallerPath));
    SetText(key, L"Publisher", kPublisherName);
    RegCloseKey(key);
}

void DeleteUninstallEntry()
{
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallParentKey, 0, KEY_READ | KEY_WRITE, &parent) != ERROR_SUCCESS)
        return;
    RegDeleteKeyW(parent, kUninstallKeyName);
    RegCloseKey(parent);
}
