#include "installer/uninstall_entry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "installer/product_names.h"

namespace {

struct Value {
    DWORD type = 0;
    DWORD bytes = 0;
    std::wstring text;
};

bool ReadValue(REGSAM view, const wchar_t* name, Value& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[1024] = L"";
    value.bytes = sizeof buffer;
    LONG rc = RegQueryValueExW(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer), &value.bytes);
    RegCloseKey(key);
    value.text = buffer;
    return rc == ERROR_SUCCESS;
}

bool KeyExists(REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

TEST(UninstallEntry, WritesFourTextValuesWithTheirNulInThe32BitView)
{
    DeleteUninstallEntry();
    const std::wstring uninstaller = L"C:\\Program Files (x86)\\lumetra(ios)\\unins001.exe";
    WriteUninstallEntry(uninstaller);

    struct {
        const wchar_t* name;
        std::wstring text;
    } expected[] = {
        {L"DisplayName", kProductName},
        {L"DisplayIcon", uninstaller},
        {L"UninstallString", L"\"" + uninstaller + L"\""},
        {L"Publisher", kPublisherName},
    };
    for (const auto& e : expected) {
        Value value;
        ASSERT_TRUE(ReadValue(KEY_WOW64_32KEY, e.name, value)) << e.name;
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.text, e.text);
        EXPECT_EQ(value.bytes, (e.text.size() + 1) * sizeof(wchar_t)) << "the terminating NUL is counted";
    }
    // A 32-bit program's HKLM\SOFTWARE is the Wow6432Node view, not the 64-bit one.
    EXPECT_FALSE(KeyExists(KEY_WOW64_64KEY));

    DeleteUninstallEntry();
    EXPECT_FALSE(KeyExists(KEY_WOW64_32KEY));
    DeleteUninstallEntry();  // deleting what is gone is harmless
}

}  // namespace
