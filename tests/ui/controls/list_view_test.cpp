#include "ui/controls/ui_list_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "more_controls_test_support.h"
#include "ui/controls/ui_radio_box.h"
#include "ui/controls/ui_tab_ctrl.h"
#include "ui/controls/ui_tool_bar.h"

namespace {

using namespace more_controls_test;
using testing_pixels::Describe;
using testing_pixels::SameRect;

// The list placed at (20, 10, 220, 210): a 24-pixel header over a rows area from y = 34, 176
// pixels high, so six 28-pixel rows fit and seven do not. Columns "Name" (60) and "Size" (80).
constexpr int kTop = 34;
constexpr int kRowHeight = 28;
constexpr int kStripeX = 175;  // right of both columns, left of the bar: stripes and row images only

int RowMiddle(int row)
{
    return kTop + kRowHeight * row + kRowHeight / 2;
}

class ListViewTest : public MoreControlsTest {
protected:
    void SetUp() override
    {
        MoreControlsTest::SetUp();
        list = static_cast<UIListView*>(UIObject::CreateControl("Win/List", &resource, kControlListView, parent));
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(SameRect(list->GetRect(), RECT{0, 0, 200, 200})) << "the skin's list sits at its parent's corner";
        list->SetLayout(20, 10, 200, 200);
        list->AddColumn(L"Name", 60);
        list->AddColumn(L"Size", 80);
        bar = list->GetScrollBar();
    }
    void AddRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            const std::wstring n = std::to_wstring(list->GetRowCount());
            list->AddRow({L"row " + n, n + L" KB"});
        }
    }
    void RemoveRowsDownTo(int count)
    {
        while (list->GetRowCount() > count)
            list->RemoveRow(list->GetRowCount() - 1);
    }
    void Wheel(WORD delta, POINT at = {100, 120})
    {
        Send(WM_MOUSEMOVE, 0, at.x, at.y);
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), at.x, at.y);
    }
    RECT RowRect(int row) const { return list->GetRow(row)->rect; }
    RECT CellRect(int row, int column) const { return list->GetRow(row)->cells[column].rect; }

    UIListView* list = nullptr;
    UIScrollBar* bar = nullptr;
};

// Rows that fit leave the bar hidden and use the full width; one row too many shows the bar and
// narrows the rows and the header by 30; back to fitting, or to no rows, hides it again.
TEST_F(ListViewTest, BarAppearsOnlyWhileTheRowsOverflow)
{
    Show();
    AddRows(6);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_TRUE(SameRect(list->GetRowsArea(), RECT{20, 34, 220, 210})) << Describe(list->GetRowsArea());
    EXPECT_TRUE(SameRect(list->GetHeader()->GetRect(), RECT{20, 10, 220, 34}));
    EXPECT_TRUE(SameRect(RowRect(5), RECT{20, 174, 220, 202})) << Describe(RowRect(5));

    AddRows(1);
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_TRUE(SameRect(list->GetRowsArea(), RECT{20, 34, 190, 210})) << Describe(list->GetRowsArea());
    EXPECT_TRUE(SameRect(list->GetHeader()->GetRect(), RECT{20, 10, 190, 34}))
        << Describe(list->GetHeader()->GetRect());
    EXPECT_TRUE(SameRect(bar->GetRect(), RECT{190, 34, 202, 210})) << "as wide as its track image: "
                                                                   << Describe(bar->GetRect());
    EXPECT_TRUE(SameRect(RowRect(0), RECT{20, 34, 190, 62})) << Describe(RowRect(0));
    EXPECT_TRUE(SameRect(RowRect(6), RECT{20, 202, 190, 230})) << Describe(RowRect(6));
    EXPECT_EQ(bar->GetMinimum(), 0);
    EXPECT_EQ(bar->GetMaximum(), 7 * kRowHeight);
    EXPECT_EQ(bar->GetPage(), 176);
    EXPECT_EQ(ColorAt(196, 40), BlockColor(kThumb));

    list->RemoveRow(0);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_TRUE(SameRect(RowRect(0), RECT{20, 34, 220, 62})) << Describe(RowRect(0));
    EXPECT_EQ(ColorAt(196, 40), BlockColor(kEvenRow)) << "the bar is gone from the screen";

    AddRows(1);
    ASSERT_TRUE(bar->IsVisible());
    list->RemoveAllRows();
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(bar->GetMaximum(), 0) << "no rows leave no range";
    EXPECT_TRUE(SameRect(list->GetHeader()->GetRect(), RECT{20, 10, 220, 34}));
}

// The stripes alternate over the whole area with or without rows; each row draws the image of
// its index, and the selected row its own. A list without a row height draws no stripes.
TEST_F(ListViewTest, StripesAndRowImages)
{
    Show();
    for (int stripe = 0; stripe < 6; ++stripe)
        EXPECT_EQ(ColorAt(kStripeX, RowMiddle(stripe)), BlockColor(stripe % 2 == 0 ? kEvenRow : kOddRow)) << stripe;
    EXPECT_EQ(ColorAt(kStripeX, 205), BlockColor(kEvenRow)) << "the seventh stripe, cut by the list's edge";
    EXPECT_EQ(ColorAt(kStripeX, 213), kHostColor);

    AddRows(3);
    ASSERT_TRUE(list->SetSelectedRow(1));
    EXPECT_EQ(ColorAt(kStripeX, RowMiddle(0)), BlockColor(kEvenRow));
    EXPECT_EQ(ColorAt(kStripeX, RowMiddle(1)), BlockColor(kSelectedRow));
    EXPECT_EQ(ColorAt(kStripeX, RowMiddle(2)), BlockColor(kEvenRow));
    EXPECT_EQ(ColorAt(kStripeX, RowMiddle(3)), BlockColor(kOddRow));

    auto* bare = static_cast<UIListView*>(UIObject::CreateControl("Win/BareList", &resource, kControlListView, parent));
    bare->SetLayout(230, 10, 80, 200);
    bare->AddRow({L"flat"});
    EXPECT_EQ(bare->GetRowHeight(), 0);
    EXPECT_FALSE(bare->GetScrollBar()->IsVisible());
    EXPECT_EQ(ColorAt(270, 100), kHostColor) << "no stripes without \"Item/height\"";
}

// Cells follow the header's column widths, stop at the area's right edge, and have no width past
// the last column or without columns. Their texts are drawn in the list's text colour.
TEST_F(ListViewTest, CellsFollowTheHeaderColumns)
{
    Show();
    list->AddRow({L"alpha", L"beta", L"gamma"});
    EXPECT_TRUE(SameRect(CellRect(0, 0), RECT{20, 34, 80, 62})) << Describe(CellRect(0, 0));
    EXPECT_TRUE(SameRect(CellRect(0, 1), RECT{80, 34, 160, 62})) << Describe(CellRect(0, 1));
    EXPECT_TRUE(SameRect(CellRect(0, 2), RECT{160, 34, 160, 62})) << Describe(CellRect(0, 2));
    EXPECT_TRUE(AnyPixelNear(CellRect(0, 0), kWhite));
    EXPECT_TRUE(AnyPixelNear(CellRect(0, 1), kWhite));
    EXPECT_FALSE(AnyPixelNear(RECT{160, 34, 220, 62}, kWhite)) << "the third cell has no room";

    list->AddColumn(L"Wide", 100);
    EXPECT_TRUE(SameRect(CellRect(0, 2), RECT{160, 34, 220, 62})) << Describe(CellRect(0, 2));
    EXPECT_TRUE(AnyPixelNear(RECT{160, 34, 220, 62}, kWhite));

    list->SetTextColor(kYellow);
    EXPECT_TRUE(AnyPixelNear(CellRect(0, 0), kYellow));

    list->GetHeader()->RemoveAllColumns();
    list->Relayout();
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(CellRect(0, column).right - CellRect(0, column).left, 0) << column;

    // Cell texts can be replaced, up to the header's last column once there are columns again.
    EXPECT_FALSE(list->SetCellText(0, 3, L"x"));
    list->AddColumn(L"A", 50);
    EXPECT_TRUE(list->SetCellText(0, 1, L"changed"));
    EXPECT_EQ(list->GetCellText(0, 1), L"changed");
    EXPECT_FALSE(list->SetCellText(1, 0, L"x")) << "no second row";
    EXPECT_FALSE(list->SetCellText(0, -1, L"x"));
    EXPECT_EQ(list->GetCellText(0, 7), L"");
}

// The header draws its background, a splitter across each border between columns, and the titles
// with its text style.
TEST_F(ListViewTest, HeaderDrawsTitlesAndSplitters)
{
    Show();
    EXPECT_EQ(ColorAt(210, 32), BlockColor(kHeaderBackground)) << "past the columns";
    EXPECT_EQ(ColorAt(20, 32), BlockColor(kHeaderBackground)) << "no splitter before the first column";
    EXPECT_EQ(ColorAt(78, 32), BlockColor(kHeaderBackground));
    EXPECT_EQ(ColorAt(79, 32), BlockColor(kSplitter));
    EXPECT_EQ(ColorAt(80, 32), BlockColor(kSplitter));
    EXPECT_EQ(ColorAt(160, 32), BlockColor(kHeaderBackground)) << "no splitter after the last column";
    EXPECT_TRUE(AnyPixelNear(RECT{20, 10, 79, 34}, kWhite)) << "\"Name\"";
    EXPECT_TRUE(AnyPixelNear(RECT{81, 10, 159, 34}, kWhite)) << "\"Size\"";
    EXPECT_TRUE(SameRect(list->GetHeader()->GetColumn(1)->rect, RECT{80, 10, 160, 34}));
    EXPECT_EQ(list->GetHeader()->GetColumn(2), nullptr);
}

// A press on a row selects it without telling anyone; below the last row, or while the list is
// disabled, a press changes nothing.
TEST_F(ListViewTest, PressSelectsARowSilently)
{
    Show();
    AddRows(3);
    Click({100, RowMiddle(2)});
    EXPECT_EQ(list->GetSelectedRow(), 2);
    EXPECT_EQ(ColorAt(kStripeX, RowMiddle(2)), BlockColor(kSelectedRow));
    EXPECT_TRUE(host.commands.empty());
    EXPECT_TRUE(parent->offers.empty());

    Click({100, RowMiddle(4)});
    EXPECT_EQ(list->GetSelectedRow(), 2) << "below the last row";
    Click({100, 20});
    EXPECT_EQ(list->GetSelectedRow(), 2) << "on the header";

    list->SetEnabledFlag(false);
    POINT first = {100, RowMiddle(0)};
    list->ElementLButtonDown(0, &first);
    EXPECT_EQ(list->GetSelectedRow(), 2);
    list->SetEnabledFlag(true);

    EXPECT_TRUE(list->RemoveRow(0));
    EXPECT_EQ(list->GetSelectedRow(), 1) << "the selection follows its row";
    EXPECT_TRUE(list->RemoveRow(1));
    EXPECT_EQ(list->GetSelectedRow(), -1);
    EXPECT_FALSE(list->RemoveRow(1));
    EXPECT_FALSE(list->SetSelectedRow(1));
    EXPECT_FALSE(list->SetSelectedRow(-2));
}

// The wheel moves an eighth of the page per message, between 0 and maximum - page + 1, with the
// pointer over the rows or over the bar; the rows are drawn and hit where they have scrolled to.
TEST_F(ListViewTest, WheelScrollsTheRows)
{
    Show();
    AddRows(12);  // 336 pixels of rows in 176
    ASSERT_TRUE(bar->IsVisible());
    list->SetSelectedRow(0);
    const int step = 176 / 8;
    Wheel(0xFF88);  // towards the user: the rows move up
    EXPECT_EQ(list->GetScrollOffset(), step);
    EXPECT_EQ(bar->GetPosition(), step);
    // Row 0 now spans 12..40 and shows below the header down to 40; row 1 spans 40..68.
    EXPECT_EQ(ColorAt(kStripeX, 38), BlockColor(kSelectedRow));
    EXPECT_EQ(ColorAt(kStripeX, 42), BlockColor(kOddRow));
    Click({100, 45});
    EXPECT_EQ(list->GetSelectedRow(), 1) << "the hit test follows the scrolled rows";

    for (int i = 0; i < 20; ++i)
        Wheel(0xFF88);
    EXPECT_EQ(list->GetScrollOffset(), 336 - 176 + 1);
    Wheel(120, {196, 60});  // over the bar: its parent, the list, scrolls
    EXPECT_EQ(list->GetScrollOffset(), 336 - 176 + 1 - step);
    for (int i = 0; i < 20; ++i)
        Wheel(120);
    EXPECT_EQ(list->GetScrollOffset(), 0);
}

// Scroll codes from the bar, as the edit box takes them: line and page moves stop at maximum -
// page - 1. A real press below the thumb pages down.
TEST_F(ListViewTest, BarNotificationsScrollTheRows)
{
    Show();
    AddRows(12);
    const int top = 336 - 176 - 1;
    struct {
        WPARAM code;
        int expected;
    } steps[] = {
        {SB_PAGEDOWN, top}, {SB_LINEUP, top - 1}, {SB_LINEDOWN, top}, {SB_LINEDOWN, top},
        {SB_PAGEUP, 0},     {SB_LINEUP, 0},       {SB_BOTTOM, top},   {SB_TOP, 0},
        {SB_ENDSCROLL, 0},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(list->OnChildCommand(bar, WM_VSCROLL, s.code, 0), 0);
        EXPECT_EQ(list->GetScrollOffset(), s.expected) << "code " << s.code;
        EXPECT_EQ(bar->GetPosition(), s.expected) << "code " << s.code;
    }
    list->OnChildCommand(nullptr, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(list->GetScrollOffset(), 0) << "only the list's own bar scrolls it";

    const RECT thumb = bar->GetThumbRect();
    ASSERT_EQ(thumb.top, 34);
    Click({196, (thumb.bottom + 210) / 2});
    EXPECT_EQ(list->GetScrollOffset(), top);
    EXPECT_GT(bar->GetThumbRect().top, thumb.top);
}

// Content at most 100 pixels tall does not scroll by wheel, while the bar still scrolls it.
TEST_F(ListViewTest, ShortContentIgnoresTheWheel)
{
    list->SetLayout(20, 10, 200, 100);  // a rows area 76 pixels high
    Show();
    AddRows(3);
    ASSERT_TRUE(bar->IsVisible());
    ASSERT_EQ(bar->GetMaximum(), 84);
    Wheel(0xFF88);
    EXPECT_EQ(list->GetScrollOffset(), 0);
    list->OnChildCommand(bar, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(list->GetScrollOffset(), 84 - 76 - 1);
}

// When the rows come to fit again the list scrolls back to the top, bar included, and the wheel
// no longer scrolls what the hidden bar still remembers.
TEST_F(ListViewTest, RowsThatFitAgainScrollBackToTheTop)
{
    Show();
    AddRows(12);
    Wheel(0xFF88);
    Wheel(0xFF88);
    ASSERT_EQ(list->GetScrollOffset(), 44);
    RemoveRowsDownTo(6);
    ASSERT_FALSE(bar->IsVisible());
    EXPECT_EQ(list->GetScrollOffset(), 0);
    EXPECT_EQ(bar->GetPosition(), 0);
    Wheel(0xFF88);
    EXPECT_EQ(list->GetScrollOffset(), 0) << "nothing to scroll while the rows fit";
    EXPECT_EQ(ColorAt(kStripeX, RowMiddle(0)), BlockColor(kEvenRow));

    AddRows(6);
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetThumbRect().top, 34) << "the thumb starts at the top with the rows";
}

// The factory makes every kind of this family, each with its own control type; a header made on
// its own keeps its default height when its node is missing.
TEST(MoreControlsFactory, MakesEachKindWithItsType)
{
    struct {
        int type;
        bool (*isRightClass)(UIObject*);
    } kinds[] = {
        {kControlToolBar, [](UIObject* o) { return dynamic_cast<UIToolBar*>(o) != nullptr; }},
        {kControlTabCtrl, [](UIObject* o) { return dynamic_cast<UITabCtrl*>(o) != nullptr; }},
        {kControlListView, [](UIObject* o) { return dynamic_cast<UIListView*>(o) != nullptr; }},
        {kControlHeader, [](UIObject* o) { return dynamic_cast<UIHeader*>(o) != nullptr; }},
        {kControlRadioBox, [](UIObject* o) { return dynamic_cast<UIRadioBox*>(o) != nullptr; }},
        {kControlDropButton, [](UIObject* o) { return dynamic_cast<UIDropButton*>(o) != nullptr; }},
    };
    UIResource resource;
    ASSERT_TRUE(LoadSkin(resource));
    UIObject root;
    for (const auto& kind : kinds) {
        UIObject* made = UIObject::CreateControl("Win/Nothing", &resource, kind.type, &root);
        ASSERT_NE(made, nullptr) << kind.type;
        EXPECT_TRUE(kind.isRightClass(made)) << kind.type;
        EXPECT_EQ(made->GetControlType(), kind.type);
        EXPECT_EQ(made->GetParentElement(), &root);
    }
    auto* header = static_cast<UIHeader*>(root.GetChildren()[3]);
    EXPECT_EQ(header->GetHeight(), 32);
    auto* list = static_cast<UIListView*>(root.GetChildren()[2]);
    ASSERT_EQ(list->GetChildren().size(), 2u);
    EXPECT_EQ(list->GetChildren()[0], list->GetHeader()) << "header first, then the bar";
    EXPECT_EQ(list->GetChildren()[1], list->GetScrollBar());
    EXPECT_FALSE(list->GetScrollBar()->IsVisible());
}

}  // namespace
