#include "ui/controls/ui_radio_box.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "more_controls_test_support.h"
#include "ui/controls/ui_check_box.h"
#include "ui/controls/ui_pane.h"

namespace {

using namespace more_controls_test;
using testing_pixels::Describe;

// ---- UIRadioBox -------------------------------------------------------------------------------------

// Two groups: three radio boxes and a check box in the top half, one radio box in the bottom half.
const POINT kFirst = {18, 18};
const POINT kSecond = {48, 18};
const POINT kThird = {78, 18};
const POINT kCheck = {108, 18};
const POINT kOtherGroup = {18, 118};
const POINT kAway = {200, 80};

class RadioBoxTest : public MoreControlsTest {
protected:
    void SetUp() override
    {
        MoreControlsTest::SetUp();
        auto* group = new UIPane();
        parent->AddChild(group);
        group->SetLayout(0, 0, kWidth, 100);
        auto* otherGroup = new UIPane();
        parent->AddChild(otherGroup);
        otherGroup->SetLayout(0, 100, kWidth, 100);

        first = Make("Win/Radio1", group);
        second = Make("Win/Radio2", group);
        third = Make("Win/Radio3", group);
        check = static_cast<UICheckBox*>(UIObject::CreateControl("Win/Check", &resource, kControlCheckBox, group));
        other = Make("Win/Radio1", otherGroup);
    }
    UIRadioBox* Make(const char* path, UIObject* group)
    {
        auto* made = static_cast<UIRadioBox*>(UIObject::CreateControl(path, &resource, kControlRadioBox, group));
        EXPECT_NE(made, nullptr);
        return made;
    }

    UIRadioBox* first = nullptr;
    UIRadioBox* second = nullptr;
    UIRadioBox* third = nullptr;
    UICheckBox* check = nullptr;
    UIRadioBox* other = nullptr;
};

// Selecting one box of a group unchecks the checked one, repaints only that one and the clicked
// one, and tells the parent and the host once; the check box and the other group are untouched.
TEST_F(RadioBoxTest, SelectingOneUnchecksItsSiblingRadioBoxesOnly)
{
    first->SetChecked(true);
    check->SetChecked();
    other->SetChecked(true);
    Show();
    EXPECT_EQ(ColorAt(kFirst), BlockColor(kPressed)) << "a checked box draws pressed";
    EXPECT_EQ(ColorAt(kSecond), BlockColor(kNormal));

    host.clips.clear();
    Click(kSecond);
    EXPECT_TRUE(second->IsChecked());
    EXPECT_FALSE(first->IsChecked());
    EXPECT_FALSE(third->IsChecked());
    EXPECT_TRUE(check->IsChecked()) << "a check box is no radio box";
    EXPECT_TRUE(other->IsChecked()) << "another parent is another group";
    EXPECT_EQ(ColorAt(kFirst), BlockColor(kNormal));
    EXPECT_EQ(ColorAt(kSecond), BlockColor(kPressed));
    EXPECT_EQ(first->GetVisualState(), 0);
    EXPECT_TRUE(Repainted(kFirst));
    EXPECT_FALSE(Repainted(kThird)) << "an unchecked sibling is not repainted";
    EXPECT_FALSE(Repainted(kCheck));

    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].wParam, 202u);
    EXPECT_EQ(host.commands[0].lParam, reinterpret_cast<LPARAM>(host.GetHandle()));
    ASSERT_EQ(parent->offers.size(), 1u) << "the group pane passes the offer up";
    EXPECT_EQ(parent->offers[0].sender, second);
    EXPECT_EQ(parent->offers[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(parent->offers[0].wParam, 202u);
    EXPECT_EQ(parent->offers[0].lParam, reinterpret_cast<LPARAM>(second));

    Click(kThird);
    EXPECT_FALSE(second->IsChecked());
    ASSERT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(host.commands[1].wParam, 203u) << "only the id's low 16 bits are sent";
}

// A click on the checked box keeps it checked and sends nothing; the lighted state it is left in
// shows only at the next repaint.
TEST_F(RadioBoxTest, ClickOnTheCheckedBoxSendsNothing)
{
    first->SetChecked(true);
    Show();
    Click(kFirst);
    EXPECT_TRUE(first->IsChecked());
    EXPECT_TRUE(host.commands.empty());
    EXPECT_TRUE(parent->offers.empty());
    EXPECT_EQ(first->GetVisualState(), 2);
    EXPECT_EQ(ColorAt(kFirst), BlockColor(kPressed));
    first->Invalidate(nullptr, TRUE);
    EXPECT_EQ(ColorAt(kFirst), BlockColor(kLighted));
}

// The box's value, visual state, commands and drawn image after each user action.
TEST_F(RadioBoxTest, StatesFollowThePointerAndAClickNeverUnchecks)
{
    Show();
    struct Step {
        char action;
        POINT at;
        bool checked;
        int state;
        size_t commands;
        Block drawn;
    } steps[] = {
        {'m', kSecond, false, 2, 0, kLighted},
        {'d', kSecond, false, 3, 0, kPressed},
        {'u', kSecond, true, 3, 1, kPressed},
        {'m', kAway, true, 0, 1, kPressed},  // checked draws pressed
        {'m', kSecond, true, 3, 1, kPressed},
        {'d', kSecond, true, 3, 1, kPressed},
        {'u', kSecond, true, 2, 1, kPressed},
        {'m', kAway, true, 0, 1, kPressed},
        // A press elsewhere and a release over an unchecked box: lighted, nothing else.
        {'d', kAway, true, 0, 1, kPressed},
        {'m', kThird, false, 2, 1, kLighted},
        {'u', kThird, false, 2, 1, kLighted},
        // A double click on it selects it once.
        {'d', kThird, false, 3, 1, kPressed},
        {'u', kThird, true, 3, 2, kPressed},
        {'c', kThird, true, 3, 2, kPressed},
        {'u', kThird, true, 2, 2, kPressed},
    };
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const Step& s = steps[i];
        Act(s.action, s.at);
        UIRadioBox* box = s.at.x == kThird.x ? third : second;
        EXPECT_EQ(box->IsChecked(), s.checked) << "step " << i;
        EXPECT_EQ(box->GetVisualState(), s.state) << "step " << i;
        EXPECT_EQ(host.commands.size(), s.commands) << "step " << i;
        const POINT centre = s.at.x == kThird.x ? kThird : kSecond;
        EXPECT_EQ(ColorAt(centre), BlockColor(s.drawn)) << "step " << i;
    }
    EXPECT_FALSE(second->IsChecked()) << "selecting the third box unchecked the second";
}

// A disabled box draws "grayed" and ignores the mouse; a visibility change resets its state.
TEST_F(RadioBoxTest, DisabledBoxIgnoresTheMouse)
{
    second->SetEnabledFlag(false);
    Show();
    EXPECT_EQ(ColorAt(kSecond), BlockColor(kGrayed));
    Click(kSecond);
    POINT p = kSecond;
    second->ElementMouseEnter(0, &p);
    second->ElementLButtonDown(0, &p);
    second->ElementLButtonUp(0, &p);
    EXPECT_FALSE(second->IsChecked());
    EXPECT_EQ(second->GetVisualState(), 0);
    EXPECT_TRUE(host.commands.empty());

    Act('m', kFirst);
    Act('d', kFirst);
    ASSERT_EQ(first->GetVisualState(), 3);
    first->SetVisible(false);
    EXPECT_EQ(first->GetVisualState(), 0);
    EXPECT_EQ(ColorAt(kFirst), kHostColor);
}

// ---- UIDropButton -----------------------------------------------------------------------------------

// The drop button at (10, 150, 150, 174); its id 65536 + 301 reaches the host as 301.
const RECT kDropRect = {10, 150, 150, 174};
const POINT kDropCentre = {80, 162};
const POINT kFarAway = {900, 700};

// A drop button whose drop-down action a test chooses; without one it runs the default.
class TestDrop : public UIDropButton {
public:
    std::function<void()> action;
    std::vector<bool> droppingSeen;

    void OnDrop() override
    {
        droppingSeen.push_back(IsDropping());
        if (action)
            action();
        else
            UIDropButton::OnDrop();
    }
};

class DropButtonTest : public MoreControlsTest {
protected:
    void SetUp() override
    {
        MoreControlsTest::SetUp();
        drop = new TestDrop();
        drop->LoadFromResource(&resource, "Win/Drop", nullptr);
        parent->AddChild(drop);
    }
    void TearDown() override
    {
        // The real pointer goes back off the window, so no later test sees it over a control.
        SetCursorPos(kFarAway.x, kFarAway.y);
        MoreControlsTest::TearDown();
    }
    void PointerAt(POINT p) { SetCursorPos(p.x, p.y); }

    TestDrop* drop = nullptr;
};

// By default the action sends WM_COMMAND with the id and 0 to the host and offers nothing to the
// parent; afterwards the pointer's real position decides between "lighted" and "normal".
TEST_F(DropButtonTest, DefaultActionSendsTheIdAndThePointerDecidesTheLook)
{
    Show();
    ASSERT_TRUE(testing_pixels::SameRect(drop->GetRect(), kDropRect)) << Describe(drop->GetRect());
    PointerAt(kDropCentre);
    Click(kDropCentre);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].wParam, 301u);
    EXPECT_EQ(host.commands[0].lParam, 0);
    EXPECT_TRUE(parent->offers.empty());
    EXPECT_EQ(drop->droppingSeen, std::vector<bool>{true});
    EXPECT_FALSE(drop->IsDropping());
    EXPECT_EQ(drop->GetVisualState(), 2);
    EXPECT_EQ(ColorAt(kDropCentre.x, 170), BlockColor(kLighted));

    // The messages say the pointer is over the button, but it really is elsewhere.
    PointerAt(kFarAway);
    Click(kDropCentre);
    EXPECT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(drop->GetVisualState(), 0);
    EXPECT_EQ(ColorAt(kDropCentre.x, 170), BlockColor(kNormal));

    // No capture: a press elsewhere and a release over the button still drops.
    Act('m', {200, 100});
    Act('d', {200, 100});
    Act('m', kDropCentre);
    Act('u', kDropCentre);
    EXPECT_EQ(host.commands.size(), 3u);
}

// While the action runs the button stays pressed, even when the pointer leaves it; afterwards it
// shows "normal" if the pointer went away and "lighted" if it is back over the button.
TEST_F(DropButtonTest, StaysPressedWhileTheActionRuns)
{
    Show();
    for (bool pointerReturns : {false, true}) {
        int stateDuringAction = -1;
        COLORREF drawnDuringAction = 0;
        drop->action = [&] {
            Act('m', {200, 100});  // a menu would take the pointer off the button
            stateDuringAction = drop->GetVisualState();
            drawnDuringAction = ColorAt(kDropCentre.x, 170);
            PointerAt(pointerReturns ? kDropCentre : kFarAway);
        };
        Act('m', {200, 100});
        Click(kDropCentre);
        EXPECT_EQ(stateDuringAction, 3) << "pointer returns: " << pointerReturns;
        EXPECT_EQ(drawnDuringAction, BlockColor(kPressed));
        EXPECT_EQ(drop->GetVisualState(), pointerReturns ? 2 : 0);
        EXPECT_EQ(ColorAt(kDropCentre.x, 170), BlockColor(pointerReturns ? kLighted : kNormal));
        EXPECT_TRUE(host.commands.empty()) << "the replaced action sends nothing";
    }
    // Outside an action, leaving resets the look at once.
    Act('m', kDropCentre);
    Act('d', kDropCentre);
    Act('m', {200, 100});
    EXPECT_EQ(drop->GetVisualState(), 0);
}

// The caption is one line from the left inside the margin, although the skin asks for it centred,
// and it does not move when the button is pressed.
TEST_F(DropButtonTest, CaptionIsOneLineFromTheLeftAndNeverShifts)
{
    drop->SetText(L"Go");
    Show();
    const RECT normal = BoundsNear(kDropRect, kWhite);
    ASSERT_FALSE(IsRectEmpty(&normal));
    EXPECT_GE(normal.left, kDropRect.left + 6) << Describe(normal);
    EXPECT_LT(normal.left, kDropRect.left + 6 + 4) << "centred text would start far to the right";
    Act('m', kDropCentre);
    Act('d', kDropCentre);
    ASSERT_EQ(drop->GetVisualState(), 3);
    EXPECT_TRUE(testing_pixels::SameRect(BoundsNear(kDropRect, kWhite), normal));

    drop->SetText(L"A caption far too long to fit on the button in one line of text");
    const RECT longer = BoundsNear(kDropRect, kWhite);
    EXPECT_LE(longer.right, kDropRect.right - 6) << Describe(longer);
    EXPECT_LT(longer.bottom - longer.top, 2 * (normal.bottom - normal.top)) << "one line: " << Describe(longer);
}

}  // namespace
