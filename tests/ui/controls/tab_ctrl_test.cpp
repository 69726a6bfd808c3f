#include "ui/controls/ui_tab_ctrl.h"

#include <gtest/gtest.h>

#include "more_controls_test_support.h"
#include "ui/drawing.h"

namespace {

using namespace more_controls_test;
using testing_pixels::Describe;
using testing_pixels::SameRect;

const wchar_t kLongText[] = L"A long caption";

// The tab control placed at (10, 60, 310, 90) with three tabs: "A" (11), a long one (65536 + 12)
// and "Later" (13).
class TabCtrlTest : public MoreControlsTest {
protected:
    void SetUp() override
    {
        MoreControlsTest::SetUp();
        tabs = static_cast<UITabCtrl*>(UIObject::CreateControl("Win/Tabs", &resource, kControlTabCtrl, parent));
        ASSERT_NE(tabs, nullptr);
        EXPECT_TRUE(IsRectEmpty(&tabs->GetRect())) << "the skin does not place the control";
        tabs->SetLayout(10, 60, 300, 30);
        tabs->AddItem(11, L"A");
        tabs->AddItem(65536 + 12, kLongText);
        tabs->AddItem(13, L"Later");
    }
    RECT ItemRect(int index) const { return tabs->GetItem(index)->rect; }
    // A spot inside a tab away from its centred text.
    POINT Corner(int index) const { return POINT{ItemRect(index).left + 3, ItemRect(index).top + 3}; }

    UITabCtrl* tabs = nullptr;
};

// Horizontal tabs are the text's width plus 35 and at least 80; vertical ones are the tab height
// tall across the whole control; hidden tabs take no room.
TEST_F(TabCtrlTest, TabGeometry)
{
    Show();
    const int longWidth = GetTextWidth(host.GetMemDC(), kLongText);
    ASSERT_GE(longWidth, 45) << "the long text must outgrow the least width";
    ASSERT_LT(GetTextWidth(host.GetMemDC(), L"Later") + 35, 80);
    EXPECT_TRUE(SameRect(ItemRect(0), RECT{10, 60, 90, 90})) << Describe(ItemRect(0));
    EXPECT_TRUE(SameRect(ItemRect(1), RECT{90, 60, 90 + longWidth + 35, 90})) << Describe(ItemRect(1));
    EXPECT_TRUE(SameRect(ItemRect(2), RECT{90 + longWidth + 35, 60, 170 + longWidth + 35, 90}))
        << Describe(ItemRect(2));

    tabs->SetItemVisible(1, false);
    EXPECT_TRUE(SameRect(ItemRect(2), RECT{90, 60, 170, 90})) << Describe(ItemRect(2));

    tabs->SetLayout(10, 60, 100, 120);
    tabs->SetVertical(true);
    EXPECT_TRUE(SameRect(ItemRect(0), RECT{10, 60, 110, 90})) << Describe(ItemRect(0));
    EXPECT_TRUE(SameRect(ItemRect(2), RECT{10, 90, 110, 120})) << Describe(ItemRect(2));
    tabs->SetItemVisible(1, true);
    tabs->SetTabHeight(25);
    EXPECT_TRUE(SameRect(ItemRect(1), RECT{10, 85, 110, 110})) << Describe(ItemRect(1));
    EXPECT_TRUE(SameRect(ItemRect(2), RECT{10, 110, 110, 135})) << Describe(ItemRect(2));
}

// The press selects, once per tab: the parent is offered WM_COMMAND with the id's low 16 bits and
// the control, the host gets it with its own handle. Before the first paint, on the selected tab,
// on a hidden tab or while disabled a press does nothing.
TEST_F(TabCtrlTest, PressSelectsAndReports)
{
    Act('m', {50, 75});
    Act('d', {50, 75});
    EXPECT_EQ(tabs->GetSelectedItem(), -1) << "no rectangles before the first paint";
    EXPECT_TRUE(host.commands.empty());

    Show();
    Act('m', Centre(ItemRect(1)));
    Act('d', Centre(ItemRect(1)));
    EXPECT_EQ(tabs->GetSelectedItem(), 1) << "the press selects, before any release";
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].wParam, 12u);
    EXPECT_EQ(host.commands[0].lParam, reinterpret_cast<LPARAM>(host.GetHandle()));
    ASSERT_EQ(parent->offers.size(), 1u);
    EXPECT_EQ(parent->offers[0].sender, tabs);
    EXPECT_EQ(parent->offers[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(parent->offers[0].wParam, 12u);
    EXPECT_EQ(parent->offers[0].lParam, reinterpret_cast<LPARAM>(tabs));

    Act('u', Centre(ItemRect(1)));
    Click(Centre(ItemRect(1)));
    EXPECT_EQ(host.commands.size(), 1u) << "pressing the selected tab sends nothing";

    const POINT later = Centre(ItemRect(2));
    tabs->SetItemVisible(2, false);
    Click(later);
    EXPECT_EQ(tabs->GetSelectedItem(), 1) << "a hidden tab cannot be selected";

    tabs->SetEnabledFlag(false);
    POINT first = Centre(ItemRect(0));
    tabs->ElementLButtonDown(0, &first);
    EXPECT_EQ(tabs->GetSelectedItem(), 1) << "disabled";
    tabs->SetEnabledFlag(true);
    Click(first);
    EXPECT_EQ(tabs->GetSelectedItem(), 0);
    ASSERT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(host.commands[1].wParam, 11u);
}

// With nothing selected every tab shows the normal image and text colour; the selected tab shows
// its own image and colour. The background shows past the last tab.
TEST_F(TabCtrlTest, SelectedTabDrawsItsOwnImageAndColour)
{
    Show();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ColorAt(Corner(i)), BlockColor(kTab)) << i;
        EXPECT_TRUE(AnyPixelNear(ItemRect(i), kWhite)) << i;
        EXPECT_FALSE(AnyPixelNear(ItemRect(i), kYellow)) << i;
    }
    EXPECT_EQ(ColorAt(300, 75), BlockColor(kTabBackground));

    Click(Centre(ItemRect(1)));
    EXPECT_EQ(ColorAt(Corner(1)), BlockColor(kTabSelected));
    EXPECT_TRUE(AnyPixelNear(ItemRect(1), kYellow));
    EXPECT_FALSE(AnyPixelNear(ItemRect(1), kWhite));
    for (int i : {0, 2}) {
        EXPECT_EQ(ColorAt(Corner(i)), BlockColor(kTab)) << i;
        EXPECT_TRUE(AnyPixelNear(ItemRect(i), kWhite)) << i << ": the normal colour is back after the selected tab";
    }
}

TEST_F(TabCtrlTest, ItemOperationsKeepTheSelectionOnItsItem)
{
    EXPECT_TRUE(tabs->SetSelectedItem(2));
    EXPECT_TRUE(tabs->RemoveItem(0));
    EXPECT_EQ(tabs->GetSelectedItem(), 1);
    EXPECT_TRUE(tabs->RemoveItem(1));
    EXPECT_EQ(tabs->GetSelectedItem(), -1);
    for (int index : {-2, 1, 5}) {
        EXPECT_FALSE(tabs->SetSelectedItem(index)) << index;
        EXPECT_FALSE(tabs->RemoveItem(index)) << index;
        EXPECT_FALSE(tabs->SetItemText(index, L"x")) << index;
        EXPECT_FALSE(tabs->SetItemVisible(index, false)) << index;
        EXPECT_EQ(tabs->GetItem(index), nullptr) << index;
    }
    EXPECT_TRUE(tabs->SetSelectedItem(-1));
    tabs->RemoveAllItems();
    EXPECT_EQ(tabs->GetItemCount(), 0);
    Show();
    Click({50, 75});
    EXPECT_TRUE(host.commands.empty());
}

}  // namespace
