#include "package/shell_util.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <thread>

#include "package/file_io.h"
#include "win32_test_support.h"

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ShellFolders, PathsOfThisSystem)
{
    EXPECT_TRUE(EndsWith(GetModulePath(), L"\\package_win32_tests.exe")) << GetModulePath();
    std::wstring temp = GetTempFolder();
    EXPECT_TRUE(EndsWith(temp, L"\\")) << temp;
    EXPECT_TRUE(FolderExists(temp));
    // A 32-bit program on a 64-bit system gets the x86 program-files folder.
    EXPECT_EQ(GetSpecialFolder(CSIDL_PROGRAM_FILES), L"C:\\Program Files (x86)");
    EXPECT_FALSE(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY).empty());
    EXPECT_FALSE(GetSpecialFolder(CSIDL_PROGRAMS).empty());
    EXPECT_EQ(GetSpecialFolder(0x7777), L"");
    std::wstring appData = GetSpecialFolder(CSIDL_APPDATA);
    ASSERT_FALSE(appData.empty());
    EXPECT_EQ(GetQuickLaunchFolder(), appData + L"\\Microsoft\\Internet Explorer\\Quick Launch");
}

TEST(EnsureFolder, CreatesTheWholeChainAndAcceptsExistingFolders)
{
    ScratchFolder scratch;
    const std::wstring deep = scratch / L"a\\\u8D44\u6E90\\c";
    EXPECT_TRUE(EnsureFolder(deep));
    EXPECT_TRUE(FolderExists(deep));
    EXPECT_TRUE(EnsureFolder(deep));

    ASSERT_TRUE(WriteWholeFile(scratch / L"file", "x"));
    EXPECT_FALSE(EnsureFolder(scratch / L"file"));
    EXPECT_FALSE(EnsureFolder(L"relative\\folder"));
}

TEST(ShellFiles, CopyAndDelete)
{
    ScratchFolder scratch;
    ASSERT_TRUE(WriteWholeFile(scratch / L"from.txt", "payload"));
    EXPECT_TRUE(ShellCopyFile(scratch / L"from.txt", scratch / L"to.txt"));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(scratch / L"to.txt", bytes));
    EXPECT_EQ(bytes, "payload");

    EXPECT_TRUE(ShellDeleteIfExists(scratch / L"to.txt"));
    EXPECT_FALSE(FileExists(scratch / L"to.txt"));
    EXPECT_FALSE(ShellDeleteIfExists(scratch / L"to.txt"));

    ASSERT_TRUE(EnsureFolder(scratch / L"tree\\sub"));
    ASSERT_TRUE(WriteWholeFile(scratch / L"tree\\sub\\f", "x"));
    EXPECT_TRUE(ShellDeleteIfExists(scratch / L"tree"));
    EXPECT_FALSE(FolderExists(scratch / L"tree"));
}

TEST(ShellDeleteFolder, RefusesDriveRootsAndDeletesShortRealPaths)
{
    EXPECT_FALSE(ShellDeleteFolder(L"C:\\"));
    EXPECT_FALSE(ShellDeleteFolder(L"  D:  "));
    EXPECT_FALSE(ShellDeleteFolder(L""));
    EXPECT_TRUE(FolderExists(L"C:\\windows"));

    // A four-character path is allowed.
    ASSERT_TRUE(EnsureFolder(L"C:\\q\\inner"));
    ASSERT_TRUE(WriteWholeFile(L"C:\\q\\inner\\f.txt", "x"));
    EXPECT_TRUE(ShellDeleteFolder(L"C:\\q"));
    EXPECT_FALSE(FolderExists(L"C:\\q"));
}

// Finds the folder dialog of this process, then either cancels it or types a folder into its
// edit box and confirms it, the way a person would.
bool AnswerFolderDialog(const wchar_t* typedFolder)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND dialog = nullptr;
        while ((dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr)) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(dialog, &process);
            if (process == GetCurrentProcessId())
                break;
        }
        if (dialog != nullptr) {
            if (typedFolder == nullptr) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                Sleep(500);  // let the dialog fill its controls
                HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
                if (edit != nullptr)
                    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typedFolder));
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
            return true;
        }
        Sleep(50);
    }
    return false;
}

// The dialog needs COM on the calling thread, as the program's UI thread has it.
class BrowseForFolderDialog : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(BrowseForFolderDialog, CancelGivesFalseAndAnEmptyPath)
{
    bool seen = false;
    std::thread answer([&] { seen = AnswerFolderDialog(nullptr); });
    std::wstring path = L"old";
    EXPECT_FALSE(BrowseForFolder(path, nullptr));
    EXPECT_EQ(path, L"");
    answer.join();
    EXPECT_TRUE(seen) << "the dialog never appeared (is there a display?)";
}

// Wine's dialog confirms the folder selected in its tree (the desktop at first) and ignores the
// edit box, so the test accepts whichever real folder comes back.
TEST_F(BrowseForFolderDialog, ConfirmingGivesTheSelectedFolder)
{
    bool seen = false;
    std::thread answer([&] { seen = AnswerFolderDialog(L"C:\\windows"); });
    std::wstring path = L"old";
    EXPECT_TRUE(BrowseForFolder(path, nullptr));
    EXPECT_TRUE(FolderExists(path)) << "[" << path.size() << "]";
    answer.join();
    EXPECT_TRUE(seen) << "the dialog never appeared (is there a display?)";
}

}  // namespace
