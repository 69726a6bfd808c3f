// The shipped program's resources, read under Wine from the built setup-stub.exe: the skin the
// native tree rendered (loaded the way the main window loads it), the icon, the version
// information and the manifest that users and their security tools look at.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "package/file_io.h"
#include "ui/resource/ui_resource.h"

namespace {

class StubResources : public testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryExW(QV_SETUP_STUB, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << "cannot open " << QV_SETUP_STUB;
    }
    void TearDown() override
    {
        if (m_module != nullptr)
            FreeLibrary(m_module);
    }

    std::string Bytes(const wchar_t* type, const wchar_t* name) const
    {
        HRSRC found = FindResourceW(m_module, name, type);
        if (found == nullptr)
            return std::string();
        const void* data = LockResource(LoadResource(m_module, found));
        return std::string(static_cast<const char*>(data), SizeofResource(m_module, found));
    }

    HMODULE m_module = nullptr;
};

TEST_F(StubResources, CarriesTheBuiltSkinWhereTheMainWindowLooksForIt)
{
    std::string package;
    ASSERT_TRUE(ReadWholeFile(QV_SKIN_UIR, package));
    EXPECT_EQ(Bytes(L"UIR", MAKEINTRESOURCEW(129)), package);

    UIResource resource;
    ASSERT_TRUE(resource.LoadFromModule(m_module, L"UIR", 129));
    EXPECT_EQ(resource.GetInt("MainWindow/InstallButton2/id", nullptr), 1001);
    EXPECT_NE(resource.GetImage(100, ImageTint::kAdjustable), nullptr);
}

std::wstring VersionString(const std::string& block, const wchar_t* name)
{
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0)
        return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(value));
}

TEST_F(StubResources, NamesItsMakerAndProductInItsVersionInformation)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(QV_SETUP_STUB, &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(QV_SETUP_STUB, 0, size, block.data()));
    EXPECT_EQ(VersionString(block, L"CompanyName"), L"北京Varnholt网络科技有限公司");
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Varnholt手机助手苹果版");
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Varnholt手机助手苹果版 安装程序");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), QV_PRODUCT_VERSION_TEXT);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(StubResources, AsksToRunAsInvokerWithCommonControlsSix)
{
    const std::string manifest = Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));  // RT_MANIFEST, id 1
    ASSERT_FALSE(manifest.empty());
    for (const char* part : {"level=\"asInvoker\"", "name=\"Microsoft.Windows.Common-Controls\"",
                             "version=\"6.0.0.0\"", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

TEST_F(StubResources, HasAnIconAtTheSizesExplorerAsksFor)
{
    const std::string group = Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_GE(group.size(), 6u);
    for (int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        const int id = LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(const_cast<char*>(group.data())), TRUE,
                                                   size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0);
        std::string image = Bytes(RT_ICON, MAKEINTRESOURCEW(id));
        ASSERT_FALSE(image.empty());
        HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()),
                                              TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace
