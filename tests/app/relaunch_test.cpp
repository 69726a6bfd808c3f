#include "app/relaunch.h"

#include "app/ch_quorvil_app.h"
#include "ui/ch_window.h"

#include <gtest/gtest.h>

namespace {

TEST(UninstallerRelaunch, TheCopyIsRecognisedWhateverTheCase)
{
    const std::wstring temp = L"C:\\users\\me\\Temp\\";
    EXPECT_EQ(UninstallerCopyPath(temp), L"C:\\users\\me\\Temp\\unins001.exe");
    EXPECT_TRUE(IsUninstallerCopy(L"C:\\users\\me\\Temp\\unins001.exe", temp));
    EXPECT_TRUE(IsUninstallerCopy(L"C:\\USERS\\ME\\TEMP\\UNINS001.EXE", temp));
    EXPECT_FALSE(IsUninstallerCopy(L"C:\\Program Files (x86)\\lumetra(ios)\\unins001.exe", temp));
    EXPECT_FALSE(IsUninstallerCopy(L"C:\\users\\me\\Temp\\unins002.exe", temp));
}

TEST(ElevationRule, TheRealTokenUnderTheTestSystemNeedsNoRelaunch)
{
    // Processes run with the full elevation type here, so the rule must leave them alone.
    SystemTokenQueries queries;
    int type = 0;
    ASSERT_TRUE(queries.GetElevationType(type));
    EXPECT_EQ(type, 2);
    EXPECT_FALSE(IsElevationNeeded(queries));
}

// Wine refuses SetWindowPlacement on another process's window, so the restore is checked on a
// window of this process; the second-instance test covers the rest across processes.
TEST(SingleInstance, RestoresTheRunningMainWindowToNormal)
{
    EXPECT_FALSE(RestoreRunningInstance()) << "no window with that title yet";
    CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr));
    CHWindow window;
    ASSERT_TRUE(window.Create(nullptr, 0, 0, WS_POPUP | WS_VISIBLE, kMainWindowTitle, 0));
    window.SetWindowSize(200, 100);
    ShowWindow(window.GetHandle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window.GetHandle()));
    EXPECT_TRUE(RestoreRunningInstance());
    EXPECT_FALSE(IsIconic(window.GetHandle()));
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window.GetHandle(), &placement);
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
}

}  // namespace
