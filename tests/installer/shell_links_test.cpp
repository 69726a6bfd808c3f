#include "installer/shell_links.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "installer/product_names.h"
#include "package/file_io.h"
#include "package/shell_util.h"
#include "win32_test_support.h"

namespace {

struct LinkContents {
    std::wstring path;
    std::wstring workingDirectory;
    std::wstring description;
};

// Reads a shortcut back through the shell link object.
bool ReadLink(const std::wstring& file, LinkContents& contents)
{
    bool ok = false;
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
                wchar_t buffer[MAX_PATH] = L"";
                link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
                contents.path = buffer;
                buffer[0] = 0;
                link->GetWorkingDirectory(buffer, MAX_PATH);
                contents.workingDirectory = buffer;
                buffer[0] = 0;
                link->GetDescription(buffer, MAX_PATH);
                contents.description = buffer;
                ok = true;
            }
            persist->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return ok;
}

TEST(Shortcut, FileTargetStartsInItsFolderAndFolderTargetInItself)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"lumetra_ios.exe";
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));
    ASSERT_TRUE(EnsureFolder(scratch / L"\u8D44\u6E90"));

    ASSERT_TRUE(CreateShortcut(target, scratch / L"file.lnk"));
    LinkContents link;
    ASSERT_TRUE(ReadLink(scratch / L"file.lnk", link));
    EXPECT_EQ(_wcsicmp(link.path.c_str(), target.c_str()), 0) << link.path;
    EXPECT_EQ(_wcsicmp(link.workingDirectory.c_str(), scratch.Path().c_str()), 0) << link.workingDirectory;
    EXPECT_EQ(link.description, L"");

    ASSERT_TRUE(CreateShortcut(scratch / L"\u8D44\u6E90", scratch / L"folder.lnk"));
    ASSERT_TRUE(ReadLink(scratch / L"folder.lnk", link));
    EXPECT_EQ(_wcsicmp(link.workingDirectory.c_str(), (scratch / L"\u8D44\u6E90").c_str()), 0)
        << link.workingDirectory;
}

TEST(Shortcut, MissingTargetCreatesNothing)
{
    ScratchFolder scratch;
    EXPECT_FALSE(CreateShortcut(scratch / L"absent.exe", scratch / L"absent.lnk"));
    EXPECT_FALSE(FileExists(scratch / L"absent.lnk"));
    EXPECT_FALSE(CreateDesktopShortcut(L"qv-absent", scratch / L"absent.exe"));
    EXPECT_FALSE(FileExists(ShortcutPath(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY), L"qv-absent")));
}

TEST(Shortcut, DesktopAndQuickLaunchCreateAndDelete)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"lumetra_ios.exe";
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));

    const std::wstring desktop = ShortcutPath(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY), kProductName);
    ASSERT_TRUE(CreateDesktopShortcut(kProductName, target));
    EXPECT_TRUE(FileExists(desktop)) << desktop;
    EXPECT_TRUE(DeleteDesktopShortcut(kProductName));
    EXPECT_FALSE(FileExists(desktop));
    EXPECT_FALSE(DeleteDesktopShortcut(kProductName));

    // Quick Launch may not exist yet on a fresh system; the shortcut still gets made.
    ShellDeleteFolder(GetQuickLaunchFolder());
    const std::wstring quick = ShortcutPath(GetQuickLaunchFolder(), kProductName);
    ASSERT_TRUE(CreateQuickLaunchShortcut(kProductName, target));
    LinkContents link;
    ASSERT_TRUE(ReadLink(quick, link));
    EXPECT_EQ(_wcsicmp(link.path.c_str(), target.c_str()), 0);
    PinToTaskbar(quick);
    UnpinFromTaskbar(quick);
    EXPECT_TRUE(DeleteQuickLaunchShortcut(kProductName));
    EXPECT_FALSE(DeleteQuickLaunchShortcut(kProductName));
}

TEST(StartMenu, ShortcutWithDescriptionAndBothFoldersRemoved)
{
    const std::wstring folder = GetSpecialFolder(CSIDL_PROGRAMS) + L"\\" + kProductName;
    const std::wstring file = ShortcutPath(folder, kProductName);
    CreateStartMenuShortcut(L"C:\\Program Files (x86)\\lumetra(ios)\\lumetra_ios.exe");
    LinkContents link;
    ASSERT_TRUE(ReadLink(file, link)) << file;
    EXPECT_EQ(link.description, kProductName);
    EXPECT_EQ(link.path, L"C:\\Program Files (x86)\\lumetra(ios)\\lumetra_ios.exe");

    ASSERT_TRUE(EnsureFolder(kAllUsersStartMenuFolder));
    ASSERT_TRUE(WriteWholeFile(std::wstring(kAllUsersStartMenuFolder) + L"\\old.lnk", "x"));
    RemoveStartMenuFolders();
    EXPECT_FALSE(FolderExists(folder));
    EXPECT_FALSE(FolderExists(kAllUsersStartMenuFolder));
    EXPECT_TRUE(FolderExists(GetSpecialFolder(CSIDL_PROGRAMS)));
}

}  // namespace
