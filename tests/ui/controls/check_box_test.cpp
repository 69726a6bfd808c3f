#include "ui/controls/ui_check_box.h"

#include <gtest/gtest.h>

#include "edits_test_support.h"
#include "ui/controls/ui_edit_box.h"
#include "ui/controls/ui_scroll_bar.h"

namespace {

using namespace edits_test;

// The box at (10, 10, 26, 26), the Ex box at (40, 10, 56, 26); (100, 100) is empty window area.
constexpr POINT kBoxCentre = {18, 18};
constexpr POINT kExCentre = {48, 18};
constexpr POINT kOutside = {100, 100};

struct Step {
    char action;    // m move, d press, u release, c double-click
    bool over;      // at the box's centre, or on empty window area
    bool checked;   // afterwards
    int state;      // visual state afterwards
    size_t commands;
    Block drawn;    // the block at the box's centre afterwards
};

class CheckBoxTest : public SkinnedHostTest {
protected:
    void SetUp() override
    {
        SkinnedHostTest::SetUp();
        box = static_cast<UICheckBox*>(UIObject::CreateControl("Win/Box", &resource, kControlCheckBox, &host));
        boxEx = static_cast<UICheckBoxEx*>(UIObject::CreateControl("Win/BoxEx", &resource, kControlCheckBoxEx, &host));
        ASSERT_NE(box, nullptr);
        ASSERT_NE(boxEx, nullptr);
        Show();
    }

    // One user action at a point, as the window receives it.
    void Act(char action, POINT at)
    {
        switch (action) {
        case 'm': Send(WM_MOUSEMOVE, 0, at.x, at.y); break;
        case 'd': Send(WM_LBUTTONDOWN, MK_LBUTTON, at.x, at.y); break;
        case 'u': Send(WM_LBUTTONUP, 0, at.x, at.y); break;
        case 'c': Send(WM_LBUTTONDBLCLK, MK_LBUTTON, at.x, at.y); break;
        }
    }

    // Runs the steps on a box, checking its value, its visual state, the commands so far and the
    // image at its centre after each.
    void RunSteps(UICheckBox* target, POINT centre, const std::vector<Step>& steps)
    {
        for (size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            Act(s.action, s.over ? centre : kOutside);
            EXPECT_EQ(target->IsChecked(), s.checked) << "step " << i;
            EXPECT_EQ(target->GetVisualState(), s.state) << "step " << i;
            EXPECT_EQ(host.commands.size(), s.commands) << "step " << i;
            EXPECT_EQ(ColorAt(centre.x, centre.y), kBlockColors[s.drawn]) << "step " << i;
        }
    }

    UICheckBox* box = nullptr;
    UICheckBoxEx* boxEx = nullptr;
};

// Enter, press, release, leave, and the same again on the checked box. A checked UICheckBox
// keeps its "pressed" image, pointer or not; a checked UICheckBoxEx shows "Checked/pressed" only
// until the pointer leaves.
TEST_F(CheckBoxTest, ClicksToggleAndEachKindDrawsItsStates)
{
    RunSteps(box, kBoxCentre,
             {
                 {'m', false, false, 0, 0, kBoxNormal},
                 {'m', true, false, 2, 0, kBoxLighted},
                 {'d', true, false, 3, 0, kBoxPressed},
                 {'u', true, true, 3, 1, kBoxPressed},
                 {'m', false, true, 0, 1, kBoxPressed},
                 {'m', true, true, 3, 1, kBoxPressed},  // a checked box never shows "lighted"
                 {'d', true, true, 3, 1, kBoxPressed},
                 {'u', true, false, 2, 2, kBoxLighted},
                 {'m', false, false, 0, 2, kBoxNormal},
             });
    ASSERT_EQ(host.commands.size(), 2u);
    for (const auto& command : host.commands) {
        EXPECT_EQ(command.wParam, 1042u);
        EXPECT_EQ(command.lParam, reinterpret_cast<LPARAM>(host.GetHandle()));
    }

    host.commands.clear();
    RunSteps(boxEx, kExCentre,
             {
                 {'m', true, false, 2, 0, kBoxLighted},
                 {'d', true, false, 3, 0, kBoxPressed},
                 {'u', true, true, 3, 1, kCheckedPressed},
                 {'m', false, true, 0, 1, kCheckedNormal},
                 {'m', true, true, 3, 1, kCheckedPressed},
                 {'d', true, true, 3, 1, kCheckedPressed},
                 {'u', true, false, 2, 2, kBoxLighted},
                 {'m', false, false, 0, 2, kBoxNormal},
             });
    ASSERT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(host.commands[0].wParam, 70000u & 0xFFFF) << "only the id's low 16 bits are sent";
}

// A press elsewhere and a release over the box: an unchecked box is lighted and ignores the
// release; a checked one is "pressed" after entering and toggles.
TEST_F(CheckBoxTest, ReleaseAfterAPressElsewhereTogglesOnlyACheckedBox)
{
    Act('m', kOutside);
    Act('d', kOutside);
    Act('m', kBoxCentre);
    Act('u', kBoxCentre);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(box->GetVisualState(), 2);
    EXPECT_TRUE(host.commands.empty());

    box->SetChecked();
    EXPECT_TRUE(host.commands.empty()) << "SetChecked tells nobody";
    EXPECT_EQ(box->GetVisualState(), 0);
    Act('m', kOutside);
    Act('d', kOutside);
    Act('m', kBoxCentre);
    Act('u', kBoxCentre);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(host.commands.size(), 1u);
}

// A double click arrives as press, release, double-click, release: two toggles, two commands,
// from either starting value.
TEST_F(CheckBoxTest, DoubleClickTogglesTwice)
{
    for (bool startChecked : {false, true}) {
        host.commands.clear();
        if (startChecked)
            box->SetChecked();
        Act('m', kBoxCentre);
        for (char a : {'d', 'u', 'c', 'u'})
            Act(a, kBoxCentre);
        EXPECT_EQ(box->IsChecked(), startChecked);
        EXPECT_EQ(host.commands.size(), 2u) << "starting checked: " << startChecked;
        Act('m', kOutside);
    }
}

// A disabled box draws "grayed" from its current set and ignores enter, press, release and
// leave, even when they are handed to it directly.
TEST_F(CheckBoxTest, DisabledBoxIgnoresTheMouseAndDrawsGrayed)
{
    boxEx->SetChecked();
    for (UICheckBox* b : {static_cast<UICheckBox*>(box), static_cast<UICheckBox*>(boxEx)}) {
        b->SetEnabledFlag(false);
        b->Invalidate(nullptr, TRUE);
    }
    EXPECT_EQ(ColorAt(kBoxCentre.x, kBoxCentre.y), kBlockColors[kBoxGrayed]);
    EXPECT_EQ(ColorAt(kExCentre.x, kExCentre.y), kBlockColors[kCheckedGrayed]);

    for (char a : {'m', 'd', 'u', 'c', 'u'})
        Act(a, kBoxCentre);
    POINT p = kBoxCentre;
    box->ElementMouseEnter(0, &p);
    box->ElementLButtonDown(0, &p);
    box->ElementLButtonUp(0, &p);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(box->GetVisualState(), 0);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(ColorAt(kBoxCentre.x, kBoxCentre.y), kBlockColors[kBoxGrayed]);

    box->SetEnabledFlag(true);
    Act('m', kOutside);
    Act('m', kBoxCentre);
    EXPECT_EQ(box->GetVisualState(), 2) << "enabled again, it follows the pointer";
}

TEST_F(CheckBoxTest, VisibilityChangeResetsTheVisualStateAndHiddenBoxesAreNotDrawn)
{
    Act('m', kBoxCentre);
    Act('d', kBoxCentre);
    ASSERT_EQ(box->GetVisualState(), 3);
    box->SetVisible(false);
    EXPECT_EQ(box->GetVisualState(), 0);
    EXPECT_EQ(ColorAt(kBoxCentre.x, kBoxCentre.y), kHostColor);
    box->SetVisible(true);
    EXPECT_EQ(ColorAt(kBoxCentre.x, kBoxCentre.y), kBlockColors[kBoxNormal]);
}

// The caption sits inside the text margin and takes the text style of the drawn state; without a
// "Text" node it is still drawn, black with the DC's font.
TEST_F(CheckBoxTest, CaptionUsesTheMarginAndTheStateTextStyle)
{
    auto* caption = static_cast<UICheckBox*>(UIObject::CreateControl("Win/Caption", &resource, kControlCheckBox, &host));
    auto* bare = static_cast<UICheckBox*>(UIObject::CreateControl("Win/Bare", &resource, kControlCheckBox, &host));
    caption->SetText(L"WWWW MMMM");
    bare->SetText(L"WWWW MMMM");

    const RECT margin = {10, 40, 50, 64};  // the caption's left 40 pixels
    const RECT text = {50, 40, 170, 64};
    EXPECT_TRUE(AnyPixelNear(text, RGB(255, 255, 255)));
    EXPECT_FALSE(AnyPixelNear(text, RGB(255, 0, 0)));
    EXPECT_FALSE(AnyPixelNear(margin, RGB(255, 255, 255))) << "drawn inside the margin";

    caption->SetChecked();  // checked draws index 3, whose text is red
    EXPECT_TRUE(AnyPixelNear(text, RGB(255, 0, 0)));
    EXPECT_FALSE(AnyPixelNear(text, RGB(255, 255, 255)));

    EXPECT_TRUE(AnyPixelNear(RECT{10, 70, 170, 94}, RGB(0, 0, 0))) << "bare caption missing";
    caption->SetText(nullptr);
    EXPECT_EQ(caption->GetText(), L"");
    EXPECT_FALSE(AnyPixelNear(text, RGB(255, 0, 0)));
}

// The factory makes each of these kinds with its own control type; the loaded id and size place
// and identify the control, and a missing node leaves it unplaced.
TEST_F(CheckBoxTest, FactoryMakesTheKindsAndAMissingNodeLeavesTheControlUnplaced)
{
    EXPECT_EQ(box->GetControlType(), kControlCheckBox);
    EXPECT_EQ(boxEx->GetControlType(), kControlCheckBoxEx);
    EXPECT_EQ(box->GetCommandId(), 1042);
    EXPECT_TRUE(testing_pixels::SameRect(box->GetRect(), RECT{10, 10, 26, 26}));

    UIObject* bar = UIObject::CreateControl("Win/Nothing", &resource, kControlScrollBar, &host);
    UIObject* edit = UIObject::CreateControl("Win/Nothing", &resource, kControlEditBox, &host);
    UIObject* missing = UIObject::CreateControl("Win/Nothing", &resource, kControlCheckBox, &host);
    ASSERT_NE(dynamic_cast<UIScrollBar*>(bar), nullptr);
    ASSERT_NE(dynamic_cast<UIEditBox*>(edit), nullptr);
    EXPECT_EQ(bar->GetControlType(), kControlScrollBar);
    EXPECT_EQ(edit->GetControlType(), kControlEditBox);
    EXPECT_TRUE(IsRectEmpty(&missing->GetRect()));
    EXPECT_EQ(missing->GetCommandId(), 0) << "no value may come from elsewhere in the document";
    ASSERT_EQ(edit->GetChildren().size(), 1u);
    EXPECT_EQ(edit->GetChildren()[0], static_cast<UIEditBox*>(edit)->GetScrollBar());
    EXPECT_EQ(static_cast<UIEditBox*>(edit)->GetScrollBar()->GetMinThumbLength(), 30);
}

}  // namespace
