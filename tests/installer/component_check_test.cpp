#include "installer/component_check.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "package/file_io.h"
#include "win32_test_support.h"

namespace {

void SetValue(const wchar_t* keyPath, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void RemoveKeys()
{
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kItunesKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kDeviceSupportKey);
}

TEST(ComponentCheck, NeedsBothRegisteredPathsOnDisk)
{
    RemoveKeys();
    EXPECT_FALSE(IsComponentInstalled()) << "nothing registered";

    ScratchFolder scratch;
    const std::wstring itunes = scratch / L"iTunes.exe";
    const std::wstring library = scratch / L"iTunes.dll";
    const std::wstring device = scratch / L"AirTrafficHost.dll";
    ASSERT_TRUE(WriteWholeFile(itunes, "MZ"));
    ASSERT_TRUE(WriteWholeFile(device, "MZ"));
    SetValue(kItunesKey, L"path", itunes);
    SetValue(kDeviceSupportKey, L"AirTrafficHostDLL", device);
    EXPECT_FALSE(IsComponentInstalled()) << "the iTunes library next to the program is missing";

    ASSERT_TRUE(WriteWholeFile(library, "MZ"));
    EXPECT_TRUE(IsComponentInstalled());

    SetValue(kDeviceSupportKey, L"AirTrafficHostDLL", device, REG_EXPAND_SZ);
    EXPECT_TRUE(IsComponentInstalled()) << "expandable strings count, unexpanded";
    SetValue(kDeviceSupportKey, L"AirTrafficHostDLL", scratch / L"missing.dll");
    EXPECT_FALSE(IsComponentInstalled()) << "device support missing: the download starts";
    SetValue(kDeviceSupportKey, L"AirTrafficHostDLL", device, REG_MULTI_SZ);
    EXPECT_FALSE(IsComponentInstalled()) << "other value types count as empty";
    RemoveKeys();
}

TEST(ComponentCheck, ExeBecomesDllEverywhereWithExactCase)
{
    EXPECT_EQ(ExeToDll(L"C:\\Program Files\\iTunes\\iTunes.exe"), L"C:\\Program Files\\iTunes\\iTunes.dll");
    EXPECT_EQ(ExeToDll(L"a.exe\\b.exe"), L"a.dll\\b.dll");
    EXPECT_EQ(ExeToDll(L"A.EXE"), L"A.EXE");
}

}  // namespace
