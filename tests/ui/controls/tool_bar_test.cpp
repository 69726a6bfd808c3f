#include "ui/controls/ui_tool_bar.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "more_controls_test_support.h"

namespace {

using namespace more_controls_test;
using testing_pixels::Describe;
using testing_pixels::SameRect;

// The strip: four columns of 20 x 20 cells, four rows each (normal, lighted, pressed, disabled).
// Red tells the column and green the row.
COLORREF StripColor(int column, int row)
{
    return RGB(30 + 55 * column, 25 + 60 * row, 140);
}

// The bar at (10, 10, 250, 50) with a gap of 3 and 20 x 20 cells. Its items:
//   0 "Open" (101)   1 separator   2 "Save" (102)   3 "Print" (103, disabled)
//   4 "Hidden" (104, hidden)       5 "Wide" (65536 + 105)
// which the layout puts at these rectangles (the hidden item takes no room).
const RECT kOpen = {13, 20, 33, 40};
const RECT kSeparatorItem = {39, 20, 45, 40};
const RECT kSave = {51, 20, 71, 40};
const RECT kPrint = {77, 20, 97, 40};
const RECT kWide = {103, 20, 123, 40};
const POINT kEmptyPartOfBar = {200, 30};
const POINT kOutsideBar = {200, 150};

class ToolBarTest : public MoreControlsTest {
protected:
    void SetUp() override
    {
        MoreControlsTest::SetUp();
        ASSERT_TRUE(strip.Create(80, 80, 32));
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row) {
                const COLORREF c = StripColor(column, row);
                testing_pixels::PaintRect(strip, 20 * column, 20 * row, 20, 20,
                                          testing_pixels::Argb(255, GetRValue(c), GetGValue(c), GetBValue(c)));
            }
        bar = static_cast<UIToolBar*>(UIObject::CreateControl("Win/Tools", &resource, kControlToolBar, parent));
        ASSERT_NE(bar, nullptr);
        Fill(bar);
        bar->SetImageStrip(&strip);
    }

    static void Fill(UIToolBar* target)
    {
        target->SetItemGap(3);
        target->SetCellSize(20, 20);
        target->AddItem(101, 0, L"Open");
        target->AddSeparator();
        target->AddItem(102, 1, L"Save");
        target->AddItem(103, 2, L"Print");
        target->SetItemEnabled(3, false);
        target->AddItem(104, 3, L"Hidden");
        target->SetItemVisible(4, false);
        target->AddItem(65536 + 105, 3, L"Wide");
    }

    // The cell drawn at the centre of an item: its column and row in the strip, or -1, -1.
    std::pair<int, int> CellAt(const RECT& item)
    {
        const COLORREF c = ColorAt(Centre(item));
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row)
                if (c == StripColor(column, row))
                    return {column, row};
        return {-1, -1};
    }

    void ExpectRects(const UIToolBar* target, const std::vector<RECT>& expected)
    {
        ASSERT_EQ(target->GetItemCount(), static_cast<int>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(SameRect(target->GetItem(static_cast<int>(i))->rect, expected[i]))
                << "item " << i << ": " << Describe(target->GetItem(static_cast<int>(i))->rect);
    }

    CHBitmap strip;
    UIToolBar* bar = nullptr;
};

// Items sit in the bar's middle, each with the gap on both sides; a separator is as wide as its
// image, or takes only the gaps without one; the inset moves the first slot and trims the items.
TEST_F(ToolBarTest, ItemLayout)
{
    Show();
    ASSERT_FALSE(bar->IsLayoutNeeded());
    const RECT never = {0, 0, 0, 0};  // hidden from the start, the item was never laid out
    ExpectRects(bar, {kOpen, kSeparatorItem, kSave, kPrint, never, kWide});

    bar->SetInset(5, 2, 99, 4);  // the right inset is not used
    ExpectRects(bar, {{18, 22, 38, 38}, {44, 22, 50, 38}, {56, 22, 76, 38}, {82, 22, 102, 38}, never,
                      {108, 22, 128, 38}});

    // A bar without a separator image, 40 high at (10, 60), and cells taller than it.
    auto* plain = static_cast<UIToolBar*>(UIObject::CreateControl("Win/Nothing", &resource, kControlToolBar, parent));
    plain->SetLayout(10, 60, 240, 40);
    Fill(plain);
    plain->RemoveItem(5);
    plain->RemoveItem(4);
    plain->RemoveItem(3);
    ExpectRects(plain, {{13, 70, 33, 90}, {39, 70, 39, 90}, {45, 70, 65, 90}});
    plain->SetCellSize(20, 50);
    ExpectRects(plain, {{13, 55, 33, 105}, {39, 55, 39, 105}, {45, 55, 65, 105}});
}

// Which cell of the strip each item draws as the pointer moves, presses and clicks.
TEST_F(ToolBarTest, EachStateDrawsItsRowOfTheStrip)
{
    Show();
    using Cell = std::pair<int, int>;
    EXPECT_EQ(CellAt(kOpen), Cell(0, 0));
    EXPECT_EQ(ColorAt(Centre(kSeparatorItem)), BlockColor(kSeparator));
    EXPECT_EQ(CellAt(kSave), Cell(1, 0));
    EXPECT_EQ(CellAt(kPrint), Cell(2, 3)) << "disabled";
    EXPECT_EQ(CellAt(kWide), Cell(3, 0));
    EXPECT_EQ(ColorAt(kEmptyPartOfBar), BlockColor(kBarBackground));

    struct Step {
        char action;
        POINT at;
        int hot, hotState;
        Cell open, save, print;
    } steps[] = {
        {'m', Centre(kOpen), 0, 2, {0, 1}, {1, 0}, {2, 3}},
        {'d', Centre(kOpen), 0, 3, {0, 2}, {1, 0}, {2, 3}},
        {'m', Centre(kSave), 2, 2, {0, 0}, {1, 1}, {2, 3}},  // held down, the pointer moves on
        {'m', Centre(kPrint), 3, 2, {0, 0}, {1, 0}, {2, 3}},  // a disabled item is hot but drawn disabled
        {'m', Centre(kSeparatorItem), -1, 0, {0, 0}, {1, 0}, {2, 3}},  // separators are never hot
        {'m', Centre(kOpen), 0, 2, {0, 1}, {1, 0}, {2, 3}},
        {'d', Centre(kOpen), 0, 3, {0, 2}, {1, 0}, {2, 3}},
        {'u', Centre(kOpen), 0, 0, {0, 0}, {1, 0}, {2, 3}},  // after the click, normal until it moves off
        {'m', Centre(kOpen), 0, 0, {0, 0}, {1, 0}, {2, 3}},
        {'m', kEmptyPartOfBar, -1, 0, {0, 0}, {1, 0}, {2, 3}},
    };
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const Step& s = steps[i];
        Act(s.action, s.at);
        EXPECT_EQ(bar->GetHotItem(), s.hot) << "step " << i;
        EXPECT_EQ(bar->GetHotState(), s.hotState) << "step " << i;
        EXPECT_EQ(CellAt(kOpen), s.open) << "step " << i;
        EXPECT_EQ(CellAt(kSave), s.save) << "step " << i;
        EXPECT_EQ(CellAt(kPrint), s.print) << "step " << i;
    }
}

// Without a strip the bar draws its background only: no cells, not even separators.
TEST_F(ToolBarTest, WithoutAStripOnlyTheBackgroundIsDrawn)
{
    bar->SetImageStrip(nullptr);
    Show();
    for (const RECT& item : {kOpen, kSeparatorItem, kSave, kPrint, kWide})
        EXPECT_EQ(ColorAt(Centre(item)), BlockColor(kBarBackground)) << Describe(item);
    bar->SetImageStrip(&strip);
    EXPECT_EQ(ColorAt(Centre(kSeparatorItem)), BlockColor(kSeparator));
}

// A click on an enabled item offers WM_COMMAND with the id's low 16 bits to the parent and sends
// it to the host, both with the host's handle; a click anywhere else, or on a disabled bar, sends
// nothing.
TEST_F(ToolBarTest, ClicksSendTheItemIdOnlyFromEnabledItems)
{
    Show();
    const LPARAM hostHandle = reinterpret_cast<LPARAM>(host.GetHandle());
    struct {
        POINT at;
        int id;  // 0: nothing sent
    } clicks[] = {
        {Centre(kOpen), 101}, {Centre(kSeparatorItem), 0}, {Centre(kPrint), 0},
        {kEmptyPartOfBar, 0}, {Centre(kWide), 105},    {{12, 30}, 0},  // in the gap before the first item
    };
    for (const auto& c : clicks) {
        host.commands.clear();
        parent->offers.clear();
        Click(c.at);
        if (c.id == 0) {
            EXPECT_TRUE(host.commands.empty()) << c.at.x;
            EXPECT_TRUE(parent->offers.empty()) << c.at.x;
            continue;
        }
        ASSERT_EQ(host.commands.size(), 1u) << c.at.x;
        EXPECT_EQ(host.commands[0].wParam, static_cast<WPARAM>(c.id));
        EXPECT_EQ(host.commands[0].lParam, hostHandle);
        ASSERT_EQ(parent->offers.size(), 1u);
        EXPECT_EQ(parent->offers[0].sender, bar);
        EXPECT_EQ(parent->offers[0].message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(parent->offers[0].wParam, static_cast<WPARAM>(c.id));
        EXPECT_EQ(parent->offers[0].lParam, hostHandle);
    }

    // A double click is two presses, each followed by a release: two commands.
    host.commands.clear();
    for (char a : {'m', 'd', 'u', 'c', 'u'})
        Act(a, Centre(kSave));
    EXPECT_EQ(host.commands.size(), 2u);

    // A disabled bar neither follows the pointer nor clicks.
    Act('m', kOutsideBar);
    host.commands.clear();
    bar->SetEnabledFlag(false);
    Click(Centre(kOpen));
    EXPECT_EQ(bar->GetHotItem(), -1);
    EXPECT_TRUE(host.commands.empty());
}

// Leaving the bar drops the hot item unless that item stays lit.
TEST_F(ToolBarTest, LeavingResetsTheHotItemUnlessItStaysLit)
{
    Show();
    for (bool staysLit : {false, true}) {
        bar->SetItemStaysLit(2, staysLit);
        Act('m', Centre(kSave));
        ASSERT_EQ(bar->GetHotItem(), 2);
        Act('m', kOutsideBar);
        EXPECT_EQ(bar->GetHotItem(), staysLit ? 2 : -1) << "stays lit: " << staysLit;
        EXPECT_EQ(ColorAt(Centre(kSave)), StripColor(1, staysLit ? 1 : 0)) << "stays lit: " << staysLit;
    }
    // The window's own leave notice reaches the bar through the hover chain as well.
    bar->SetItemStaysLit(2, false);
    Act('m', Centre(kOpen));
    SendMessageW(host.GetHandle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bar->GetHotItem(), -1);
}

// The hand shows over enabled items, the arrow over no item; a disabled item leaves the cursor
// as it was, also when pressed.
TEST_F(ToolBarTest, CursorFollowsTheItemUnderThePointer)
{
    Show();
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    const HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
    Act('m', Centre(kOpen));
    EXPECT_EQ(GetCursor(), hand);
    Act('m', kEmptyPartOfBar);
    EXPECT_EQ(GetCursor(), arrow);
    SetCursor(cross);
    Act('m', Centre(kPrint));
    EXPECT_EQ(GetCursor(), cross);
    Act('d', Centre(kPrint));
    EXPECT_EQ(GetCursor(), cross);
    Act('m', Centre(kSave));
    SetCursor(cross);
    Act('d', Centre(kSave));
    EXPECT_EQ(GetCursor(), hand);
}

// One tool per visible item with a text, over the item's rectangle; hidden, removed and
// text-less items lose theirs. Relayed pointer messages make the tooltip show the item's tool.
TEST_F(ToolBarTest, TooltipsFollowTheItems)
{
    UIToolBar loose;
    EXPECT_FALSE(loose.CreateTooltip()) << "a bar outside any window has no owner for the tooltip";
    ASSERT_TRUE(bar->CreateTooltip());  // made before the window shows
    HWND tip = bar->GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    Show();

    auto tool = [&](int id, RECT* rect, std::wstring* text) {
        wchar_t buffer[80] = {};
        TOOLINFOW info = {};
        info.cbSize = sizeof info;
        info.hwnd = host.GetHandle();
        info.uId = static_cast<UINT>(id);
        info.lpszText = buffer;
        const bool found = SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
        if (found && rect != nullptr)
            *rect = info.rect;
        if (found && text != nullptr)
            *text = buffer;
        return found;
    };
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 4) << "Open, Save, Print and Wide";
    RECT rect;
    std::wstring text;
    ASSERT_TRUE(tool(101, &rect, &text));
    EXPECT_TRUE(SameRect(rect, kOpen)) << Describe(rect);
    EXPECT_EQ(text, L"Open");
    EXPECT_TRUE(tool(103, nullptr, nullptr)) << "a disabled item keeps its tooltip";
    EXPECT_FALSE(tool(104, nullptr, nullptr)) << "hidden";

    bar->SetItemVisible(2, false);  // Save: Print and Wide move left
    EXPECT_FALSE(tool(102, nullptr, nullptr));
    ASSERT_TRUE(tool(65536 + 105, &rect, nullptr));
    EXPECT_TRUE(SameRect(rect, RECT{77, 20, 97, 40})) << Describe(rect);
    bar->SetItemText(3, L"Print all");
    ASSERT_TRUE(tool(103, nullptr, &text));
    EXPECT_EQ(text, L"Print all");
    bar->SetItemText(3, nullptr);
    EXPECT_FALSE(tool(103, nullptr, nullptr)) << "an item without a text has no tooltip";
    bar->RemoveItem(5);
    EXPECT_FALSE(tool(65536 + 105, nullptr, nullptr));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

    // The pointer rests over Open; the host's messages reach the tooltip only through the
    // message loop's pre-translation.
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    const POINT over = Centre(kOpen);
    SetCursorPos(over.x, over.y);
    PostMessageW(host.GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    const DWORD start = GetTickCount();
    while (!IsWindowVisible(tip) && GetTickCount() - start < 5000) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        if (!CHWindow::PreTranslate(&message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    SetCursorPos(900, 700);
    ASSERT_TRUE(IsWindowVisible(tip));
    TOOLINFOW current = {};
    current.cbSize = sizeof current;
    ASSERT_TRUE(SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&current)));
    EXPECT_EQ(current.uId, 101u);
}

TEST_F(ToolBarTest, ItemOperationsRefuseIndexesOutOfRange)
{
    Show();
    Act('m', Centre(kWide));
    ASSERT_EQ(bar->GetHotItem(), 5);
    EXPECT_TRUE(bar->RemoveItem(0));
    EXPECT_EQ(bar->GetHotItem(), 4) << "the hot item follows its item";
    EXPECT_TRUE(bar->RemoveItem(4));
    EXPECT_EQ(bar->GetHotItem(), -1);
    for (int index : {-1, 4, 100}) {
        EXPECT_FALSE(bar->RemoveItem(index));
        EXPECT_FALSE(bar->SetItemText(index, L"x"));
        EXPECT_FALSE(bar->SetItemVisible(index, false));
        EXPECT_FALSE(bar->SetItemEnabled(index, false));
        EXPECT_FALSE(bar->SetItemStaysLit(index, true));
        EXPECT_EQ(bar->GetItem(index), nullptr);
    }
    // An image index past the strip draws nothing rather than pixels from outside it.
    bar->AddItem(300, 7, nullptr);
    const RECT last = bar->GetItem(bar->GetItemCount() - 1)->rect;
    EXPECT_EQ(ColorAt(Centre(last)), BlockColor(kBarBackground)) << Describe(last);
    bar->RemoveAllItems();
    EXPECT_EQ(bar->GetItemCount(), 0);
    Click(Centre(kOpen));
    EXPECT_TRUE(host.commands.empty());
}

}  // namespace
