#pragma once

// The fixed names under which the product appears on the system.

inline constexpr wchar_t kProductName[] = L"Varnholt手机助手苹果版";
inline constexpr wchar_t kPublisherName[] = L"北京Varnholt网络科技有限公司";
inline constexpr wchar_t kUninstallParentKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr wchar_t kUninstallKeyName[] = L"lumetra(ios)";
inline constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\lumetra(ios)";
// A fixed path, not looked up: the all-users Start-menu folder of Vista and later.
inline constexpr wchar_t kAllUsersStartMenuFolder[] =
    L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Varnholt手机助手苹果版";
