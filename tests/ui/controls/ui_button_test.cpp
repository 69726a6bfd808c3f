#include "ui/controls/ui_button.h"

#include <gtest/gtest.h>

#include "control_test_support.h"

namespace {

using namespace control_testing;
using Log = std::vector<std::string>;

// A parent element that logs what its children offer it, into the same log as the host, so the
// order of the two notifications shows.
class CommandParent : public UIObject {
public:
    explicit CommandParent(Log* log) : m_log(log) { m_layoutW = m_layoutH = 300; }
    UIObject* expectedSender = nullptr;

    int OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const bool fromSender = sender == expectedSender && lParam == reinterpret_cast<LPARAM>(sender);
        m_log->push_back("parent " + std::to_string(message) + " " + std::to_string(wParam) +
                         (fromSender ? " from button" : " from elsewhere"));
        return UIObject::OnChildCommand(sender, message, wParam, lParam);
    }

private:
    Log* m_log;
};

class UIButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadTestSkin(skin));
        ASSERT_TRUE(CreateLayeredHost(host, 400, 320));
        host.log = &log;
        parent = new CommandParent(&log);
        host.AddChild(parent);
        button = static_cast<UIButton*>(UIObject::CreateControl("Host/Button", &skin, kControlButton, parent));
        ASSERT_NE(button, nullptr);
        parent->expectedSender = button;
        ShowQuietly(host.GetHandle());
    }
    void TearDown() override { DestroyWindow(host.GetHandle()); }

    void Send(UINT message, int x, int y, WPARAM keys = 0)
    {
        SendMessageW(host.GetHandle(), message, keys, MAKELPARAM(x, y));
    }
    void Move(int x, int y) { Send(WM_MOUSEMOVE, x, y); }
    void Down(int x, int y) { Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
    void Up(int x, int y) { Send(WM_LBUTTONUP, x, y); }
    void DoubleClick(int x, int y) { Send(WM_LBUTTONDBLCLK, x, y, MK_LBUTTON); }
    // The image colour of the button, read in its top-left corner where no caption reaches.
    COLORREF Face() { return host.ColourAt(button->GetRect().left + 2, button->GetRect().top + 2); }
    RECT CaptionMarks(COLORREF face) { return host.Marks(button->GetRect(), face); }

    UIResource skin;
    TestHost host;
    Log log;
    CommandParent* parent = nullptr;
    UIButton* button = nullptr;
};

const Log kClick = {"parent 273 1001 from button", "command 1001 code 0 from host"};

TEST_F(UIButtonTest, LoadsItsNodeAndIsPlacedInItsParent)
{
    EXPECT_EQ(button->GetControlType(), kControlButton);
    EXPECT_EQ(button->GetCommandId(), 1001);
    EXPECT_EQ(Describe(button->GetRect()), "(20, 20, 140, 60)");
    EXPECT_EQ(button->GetText(), L"") << "the text style's own text is not the caption";
    EXPECT_EQ(Face(), kNormal);

    UIButton missing;
    EXPECT_EQ(missing.LoadFromResource(&skin, "Host/Nothing", nullptr), 0);
    EXPECT_EQ(missing.GetCommandId(), 0);
}

TEST_F(UIButtonTest, PressMoveOffMoveBackAndReleaseClicksOnce)
{
    Move(50, 40);
    EXPECT_EQ(button->GetVisualState(), kSkinLighted);
    EXPECT_EQ(Face(), kLighted);
    Down(50, 40);
    EXPECT_EQ(button->GetVisualState(), kSkinPressed);
    EXPECT_EQ(Face(), kPressed);
    EXPECT_TRUE(log.empty()) << "a press sends nothing";

    Move(250, 150);  // off the button, still over its parent: no capture keeps it pressed
    EXPECT_EQ(button->GetVisualState(), kSkinNormal);
    EXPECT_EQ(Face(), kNormal);
    Move(50, 40);
    EXPECT_EQ(button->GetVisualState(), kSkinLighted) << "coming back lights it, it does not press it";
    EXPECT_TRUE(log.empty());

    Up(50, 40);
    EXPECT_EQ(log, kClick);
    EXPECT_EQ(button->GetVisualState(), kSkinLighted);
    EXPECT_EQ(Face(), kLighted);

    SendMessageW(host.GetHandle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(button->GetVisualState(), kSkinNormal);
    EXPECT_EQ(Face(), kNormal);
}

TEST_F(UIButtonTest, AReleaseClicksEvenWhenThePressBeganElsewhere)
{
    Move(250, 150);
    Down(250, 150);
    Move(50, 40);
    Up(50, 40);
    EXPECT_EQ(log, kClick);

    log.clear();
    Move(250, 150);
    Up(250, 150);
    EXPECT_TRUE(log.empty()) << "a release elsewhere sends nothing";
}

TEST_F(UIButtonTest, ADoubleClickIsASecondPressAndClicksTwice)
{
    Move(50, 40);
    Down(50, 40);
    Up(50, 40);
    DoubleClick(50, 40);
    EXPECT_EQ(button->GetVisualState(), kSkinPressed);
    EXPECT_EQ(log.size(), 2u) << "the double-click itself sends nothing";
    Up(50, 40);
    Log twice = kClick;
    twice.insert(twice.end(), kClick.begin(), kClick.end());
    EXPECT_EQ(log, twice);
}

TEST_F(UIButtonTest, ADisabledButtonIgnoresTheMouseButStillReturnsToNormal)
{
    Move(50, 40);
    button->SetEnabledFlag(false);
    button->Invalidate(nullptr, TRUE);
    EXPECT_EQ(Face(), kGrayed);
    Move(250, 150);
    EXPECT_EQ(button->GetVisualState(), kSkinNormal) << "leaving resets a disabled button too";

    Move(50, 40);
    EXPECT_EQ(button->GetVisualState(), kSkinNormal) << "a disabled button does not light up";
    Down(50, 40);
    EXPECT_EQ(button->GetVisualState(), kSkinNormal);
    EXPECT_NE(host.GetFocusElement(), button);
    DoubleClick(50, 40);
    Up(50, 40);
    EXPECT_EQ(button->GetVisualState(), kSkinNormal);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(Face(), kGrayed);

    button->SetEnabledFlag(true);
    Move(250, 150);
    Move(50, 40);
    Down(50, 40);
    Up(50, 40);
    EXPECT_EQ(log, kClick) << "enabled again, it clicks";
}

TEST_F(UIButtonTest, HidingResetsTheStateAndTheIdIsSentAsItsLowWord)
{
    Move(50, 40);
    Down(50, 40);
    button->SetVisible(false);
    EXPECT_EQ(button->GetVisualState(), kSkinNormal);
    EXPECT_EQ(host.ColourAt(30, 30), kHostColour);
    button->SetVisible(true);
    EXPECT_EQ(Face(), kNormal);

    auto* wide = static_cast<UIButton*>(UIObject::CreateControl("Host/WideId", &skin, kControlButton, &host));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->GetCommandId(), 65536 + 1001);
    Move(170, 30);
    Down(170, 30);
    Up(170, 30);
    EXPECT_EQ(log, (Log{"command 1001 code 0 from host"}));
}

// What each state draws: the state's image and text style, the caption moved one pixel right
// and down only while pressed and enabled, and never the "focused" records.
TEST_F(UIButtonTest, EachStateDrawsItsImageAndCaptionStyle)
{
    button->SetText(L"Install");
    const RECT normalCaption = CaptionMarks(kNormal);
    ASSERT_FALSE(IsRectEmpty(&normalCaption)) << "no caption drawn";
    EXPECT_GT(host.CountNear(button->GetRect(), kCaptionColour, 40), 10);

    struct Case {
        const char* name;
        bool enabled;
        bool hover, press;
        COLORREF face;
        COLORREF caption;
        int shift;
    } cases[] = {
        {"lighted", true, true, false, kLighted, kCaptionColour, 0},
        {"pressed", true, true, true, kPressed, kCaptionColour, 1},
        {"grayed", false, false, false, kGrayed, kGrayedCaptionColour, 0},
        {"grayed while pressed", false, true, true, kGrayed, kGrayedCaptionColour, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        button->SetEnabledFlag(true);
        Move(250, 150);
        if (c.hover)
            Move(50, 40);
        if (c.press)
            Down(50, 40);
        button->SetEnabledFlag(c.enabled);
        button->Invalidate(nullptr, TRUE);

        EXPECT_EQ(Face(), c.face);
        RECT expected = normalCaption;
        OffsetRect(&expected, c.shift, c.shift);
        EXPECT_EQ(Describe(CaptionMarks(c.face)), Describe(expected));
        EXPECT_GT(host.CountNear(button->GetRect(), c.caption, 40), 10);
        EXPECT_EQ(host.CountColour(button->GetRect(), kFocused), 0);
        EXPECT_EQ(host.CountNear(button->GetRect(), RGB(255, 0, 0), 30), 0) << "the focused caption colour";
    }
}

TEST_F(UIButtonTest, CaptionsWithoutTextStylesAndStatesWithoutImages)
{
    // An empty caption leaves the image alone.
    EXPECT_EQ(host.CountColour(button->GetRect(), kNormal), 120 * 40);

    // A node without "Text" still draws a caption set later: black, at the top left.
    auto* plain = static_cast<UIButton*>(UIObject::CreateControl("Host/Plain", &skin, kControlButton, &host));
    ASSERT_NE(plain, nullptr);
    plain->SetText(L"Go");
    const RECT area = plain->GetRect();
    const RECT marks = host.Marks(area, kNormal);
    ASSERT_FALSE(IsRectEmpty(&marks));
    EXPECT_LT(marks.left - area.left, 6) << Describe(marks);
    EXPECT_LT(marks.top - area.top, 6) << Describe(marks);
    EXPECT_LT(marks.bottom - area.top, 25) << "one line at the top, not centred: " << Describe(marks);
    EXPECT_GT(host.CountNear(area, RGB(0, 0, 0), 40), 5);

    // Its "lighted" image is missing: nothing is drawn for it but the caption.
    Move(30, 90);
    EXPECT_EQ(plain->GetVisualState(), kSkinLighted);
    EXPECT_EQ(host.CountColour(area, kNormal), 0);
    EXPECT_EQ(host.ColourAt(area.right - 2, area.bottom - 2), kHostColour);
    EXPECT_GT(host.CountNear(area, RGB(0, 0, 0), 40), 5);

    plain->SetText(nullptr);
    EXPECT_EQ(plain->GetText(), L"");
    EXPECT_EQ(host.CountNear(area, RGB(0, 0, 0), 40), 0);
}

}  // namespace
