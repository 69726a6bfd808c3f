#include "ui/ui_frame_window.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "control_test_support.h"
#include "ui/controls/ui_button.h"

namespace {

using namespace control_testing;
using Log = std::vector<std::string>;

// A frame window that logs its system commands, commands and close requests, and can refuse to
// close the way a window with unfinished work does.
class TestFrame : public PixelWindow<UIFrameWindow> {
public:
    Log log;
    bool refuseClose = false;

    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam) override
    {
        char text[32];
        snprintf(text, sizeof text, "syscommand %04X", static_cast<unsigned>(wParam & 0xFFF0));
        log.push_back(text);
        return UIFrameWindow::OnSysCommand(wParam, lParam);
    }
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        log.push_back("command " + std::to_string(LOWORD(wParam)) +
                      (reinterpret_cast<HWND>(lParam) == m_hWnd ? " from host" : " from elsewhere"));
        return UIFrameWindow::OnCommand(wParam, lParam);
    }
    LRESULT OnClose(WPARAM wParam, LPARAM lParam) override
    {
        log.push_back("close");
        return refuseClose ? 0 : UIFrameWindow::OnClose(wParam, lParam);
    }
};

class UIFrameWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr)); }
    void SetUp() override { ASSERT_TRUE(LoadTestSkin(skin)); }
    void TearDown() override
    {
        if (frame.GetHandle() != nullptr)
            DestroyWindow(frame.GetHandle());
    }

    // A frame at (x, y), 670 × 680, loaded from "Frame"; extra style bits beside WS_POPUP.
    void Make(DWORD extraStyle, int x = 50, int y = 20)
    {
        ASSERT_TRUE(frame.Create(nullptr, x, y, WS_POPUP | extraStyle, L"frame", 0));
        ASSERT_EQ(frame.LoadFromResource(&skin, "Frame", nullptr), 1);
        frame.SetWindowSize(670, 680);
    }
    // The hit-test answer for a client point.
    LRESULT Hit(int x, int y)
    {
        RECT window;
        GetWindowRect(frame.GetHandle(), &window);
        return SendMessageW(frame.GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(window.left + x, window.top + y));
    }
    void Click(const UIObject* element)
    {
        const RECT& r = element->GetRect();
        const LPARAM at = MAKELPARAM(r.left + 2, r.top + 2);
        SendMessageW(frame.GetHandle(), WM_MOUSEMOVE, 0, at);
        SendMessageW(frame.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(frame.GetHandle(), WM_LBUTTONUP, 0, at);
    }

    UIResource skin;
    TestFrame frame;
};

TEST_F(UIFrameWindowTest, StripsAndClientFollowTheSkinThicknessesAndTheWindowSize)
{
    Make(WS_CAPTION);
    EXPECT_EQ(GetWindowLongW(frame.GetHandle(), GWL_STYLE) & WS_CAPTION, 0) << "both caption bits go";
    RECT client;
    GetClientRect(frame.GetHandle(), &client);
    EXPECT_EQ(Describe(client), "(0, 0, 670, 680)") << "the whole window is client area";

    EXPECT_EQ(Describe(frame.GetClientArea()), "(10, 100, 660, 650)");
    EXPECT_EQ(Describe(frame.GetFrameRect(kFrameTop)), "(0, 0, 670, 100)");
    EXPECT_EQ(Describe(frame.GetFrameRect(kFrameLeft)), "(0, 100, 10, 650)");
    EXPECT_EQ(Describe(frame.GetFrameRect(kFrameRight)), "(660, 100, 670, 650)");
    EXPECT_EQ(Describe(frame.GetFrameRect(kFrameBottom)), "(0, 650, 670, 680)");

    // The system buttons are children placed from the right edge; restore starts hidden.
    ASSERT_NE(frame.GetCloseButton(), nullptr);
    ASSERT_NE(frame.GetRestoreButton(), nullptr);
    ASSERT_NE(frame.GetMaximizeButton(), nullptr);
    ASSERT_NE(frame.GetMinimizeButton(), nullptr);
    EXPECT_EQ(Describe(frame.GetCloseButton()->GetRect()), "(610, 45, 625, 60)");
    EXPECT_EQ(frame.GetCloseButton()->GetCommandId(), 1000);
    EXPECT_FALSE(frame.GetRestoreButton()->IsVisible());
    EXPECT_TRUE(frame.GetMaximizeButton()->IsVisible());
    EXPECT_EQ(frame.GetChildren().size(), 4u);

    frame.SetWindowSize(400, 300);
    EXPECT_EQ(Describe(frame.GetClientArea()), "(10, 100, 390, 270)");
    EXPECT_EQ(Describe(frame.GetFrameRect(kFrameRight)), "(390, 100, 400, 270)");
    EXPECT_EQ(Describe(frame.GetCloseButton()->GetRect()), "(340, 45, 355, 60)");

    // A frame change alone, which carries no size, leaves the whole window as client area.
    SetWindowPos(frame.GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(frame.GetHandle(), &client);
    EXPECT_EQ(Describe(client), "(0, 0, 400, 300)");
}

TEST_F(UIFrameWindowTest, DrawsTheClientSkinAndTheFourStrips)
{
    Make(0);
    ASSERT_EQ(frame.MakeLayered(), 1);
    ShowQuietly(frame.GetHandle());
    struct {
        int x, y;
        COLORREF colour;
    } probes[] = {
        {300, 50, kTopStrip},   {0, 0, kTopStrip},        {669, 99, kTopStrip},  {5, 300, kLeftStrip},
        {665, 300, kRightStrip}, {300, 660, kBottomStrip}, {0, 679, kBottomStrip}, {300, 300, kClient},
        {10, 100, kClient},     {659, 649, kClient},      {615, 50, kCloseColour}, {585, 50, kCloseColour},
    };
    for (const auto& probe : probes)
        EXPECT_EQ(frame.ColourAt(probe.x, probe.y), probe.colour) << probe.x << "," << probe.y;
    EXPECT_EQ(frame.CountColour(RECT{0, 0, 670, 680}, kGrayed), 0) << "the grayed strips are never drawn";
}

TEST_F(UIFrameWindowTest, TheTopStripDragsExceptOverElementsThatTakeTheMouse)
{
    Make(0, -100, 20);  // partly off the screen: screen points left of it are negative
    UIObject* label = UIObject::CreateControl("Frame/Caption", &skin, kControlLabel, &frame);
    UIObject* badge = UIObject::CreateControl("Frame/Badge", &skin, kControlPane, &frame);
    ASSERT_NE(label, nullptr);
    ASSERT_NE(badge, nullptr);
    EXPECT_TRUE(label->IsCaptionTransparent());
    frame.GetMinimizeButton()->SetVisible(false);

    struct {
        int x, y;
        LRESULT expected;
    } cases[] = {
        {20, 50, HTCAPTION},     // empty top strip, at a negative screen x
        {250, 30, HTCAPTION},    // over a label
        {615, 50, HTCLIENT},     // over the close button
        {365, 30, HTCLIENT},     // over a pane
        {555, 50, HTCLIENT},     // over the hidden minimise button: rectangles only
        {1, 1, HTCAPTION},       // no resizing corners without WS_THICKFRAME
        {5, 300, HTCLIENT},      // the side and bottom strips are client area
        {300, 670, HTCLIENT},
        {300, 300, HTCLIENT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hit(c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST_F(UIFrameWindowTest, AResizableFrameAnswersEdgesAndCornersOfItsStrips)
{
    Make(WS_THICKFRAME);
    RECT client;
    GetClientRect(frame.GetHandle(), &client);
    EXPECT_EQ(Describe(client), "(0, 0, 670, 680)");
    struct {
        int x, y;
        LRESULT expected;
    } cases[] = {
        {1, 1, HTTOPLEFT},       {3, 3, HTTOPLEFT},      {4, 1, HTTOP},         {300, 1, HTTOP},
        {300, 3, HTCAPTION},     {666, 3, HTTOPRIGHT},   {665, 3, HTCAPTION},   {615, 50, HTCLIENT},
        {5, 300, HTLEFT},        {5, 645, HTLEFT},       {5, 646, HTBOTTOMLEFT}, {665, 300, HTRIGHT},
        {665, 649, HTBOTTOMRIGHT}, {300, 660, HTBOTTOM}, {2, 660, HTBOTTOM},    {1, 678, HTBOTTOMLEFT},
        {668, 676, HTBOTTOMRIGHT}, {300, 300, HTCLIENT}, {10, 100, HTCLIENT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hit(c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST_F(UIFrameWindowTest, TheCloseButtonSendsScCloseFirstAndItsCommandOnlyIfTheWindowSurvives)
{
    Make(0);
    frame.refuseClose = true;
    Click(frame.GetCloseButton());
    EXPECT_EQ(frame.log, (Log{"syscommand F060", "close", "command 1000 from host"}));
    EXPECT_TRUE(IsWindow(frame.GetHandle()));

    frame.log.clear();
    frame.refuseClose = false;
    HWND window = frame.GetHandle();
    Click(frame.GetCloseButton());
    EXPECT_EQ(frame.log, (Log{"syscommand F060", "close"})) << "the command goes nowhere once destroyed";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(frame.GetHandle(), nullptr);
}

TEST_F(UIFrameWindowTest, MaximiseAndRestoreButtonsSwapPlaces)
{
    Make(0);
    ShowQuietly(frame.GetHandle());
    Click(frame.GetMaximizeButton());
    EXPECT_EQ(frame.log.front(), "syscommand F030");
    EXPECT_EQ(frame.log.back(), "command 0 from host");
    ASSERT_TRUE(IsZoomed(frame.GetHandle()));
    EXPECT_FALSE(frame.GetMaximizeButton()->IsVisible());
    EXPECT_TRUE(frame.GetRestoreButton()->IsVisible());

    frame.log.clear();
    Click(frame.GetRestoreButton());
    EXPECT_EQ(frame.log.front(), "syscommand F120");
    EXPECT_FALSE(IsZoomed(frame.GetHandle()));
    EXPECT_TRUE(frame.GetMaximizeButton()->IsVisible());
    EXPECT_FALSE(frame.GetRestoreButton()->IsVisible());

    frame.log.clear();
    Click(frame.GetMinimizeButton());
    EXPECT_EQ(frame.log.front(), "syscommand F020");
}

TEST_F(UIFrameWindowTest, APlainFrameHasARegionOnePixelLargerAndALayeredOneNone)
{
    Make(0);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(frame.GetHandle(), region), SIMPLEREGION);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(Describe(box), "(0, 0, 671, 681)");

    ASSERT_EQ(frame.MakeLayered(), 1);
    frame.SetWindowSize(600, 500);
    EXPECT_EQ(GetWindowRgn(frame.GetHandle(), region), ERROR) << "a layered frame drops its region";
    DeleteObject(region);
}

TEST_F(UIFrameWindowTest, AMissingNodeLeavesNoSkinsAndNoButtons)
{
    ASSERT_TRUE(frame.Create(nullptr, 0, 0, WS_POPUP, L"bare", 0));
    EXPECT_EQ(frame.LoadFromResource(&skin, "NoSuchWindow", nullptr), 0);
    frame.SetWindowSize(300, 200);
    EXPECT_EQ(Describe(frame.GetClientArea()), "(0, 0, 300, 200)");
    EXPECT_EQ(frame.GetCloseButton(), nullptr);
    EXPECT_TRUE(frame.GetChildren().empty());
    EXPECT_EQ(SendMessageW(frame.GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0), 0);
    EXPECT_EQ(frame.log, (Log{"syscommand F020"}));

    // Only the entries that exist make buttons, and a button the frame did not make is no
    // system button.
    TestFrame closeOnly;
    ASSERT_TRUE(closeOnly.Create(nullptr, 0, 0, WS_POPUP, L"close only", 0));
    ASSERT_EQ(closeOnly.LoadFromResource(&skin, "CloseOnly", nullptr), 1);
    EXPECT_NE(closeOnly.GetCloseButton(), nullptr);
    EXPECT_EQ(closeOnly.GetRestoreButton(), nullptr);
    EXPECT_EQ(closeOnly.GetMaximizeButton(), nullptr);
    closeOnly.SetWindowSize(300, 200);
    UIObject* stranger = UIObject::CreateControl("Host/Button", &skin, kControlButton, &closeOnly);
    ASSERT_NE(stranger, nullptr);
    SendMessageW(closeOnly.GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    SendMessageW(closeOnly.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    SendMessageW(closeOnly.GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    EXPECT_EQ(closeOnly.log, (Log{"command 1001 from host"}));
    DestroyWindow(closeOnly.GetHandle());
}

}  // namespace
