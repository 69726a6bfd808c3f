#include "ui/controls/cx_edit.h"
#include "ui/controls/ui_edit_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edits_test_support.h"

namespace {

using namespace edits_test;
using testing_pixels::Describe;
using testing_pixels::SameRect;

// ---- UIEditBox in scrolling mode -------------------------------------------------------------------

// "Line 1" to "Line n", one per line.
std::wstring Lines(int count)
{
    std::wstring text;
    for (int i = 1; i <= count; ++i)
        text += L"Line " + std::to_wstring(i) + L"\r\n";
    return text;
}

// The read-me box at (10, 10, 210, 130) with a 12-pixel bar and margins of 4: a text area of
// (14, 14, 194, 126), 112 pixels high.
class ReadMeTest : public SkinnedHostTest {
protected:
    void SetUp() override
    {
        SkinnedHostTest::SetUp();
        box = static_cast<UIEditBox*>(UIObject::CreateControl("Win/ReadMe", &resource, kControlEditBox, &host));
        ASSERT_NE(box, nullptr);
        bar = box->GetScrollBar();
    }
    // As the main window does: scrolling mode and text first, then the window takes its size.
    void Prepare(const std::wstring& text)
    {
        box->SetScrollMode(true);
        box->SetText(text.c_str());
        host.SetWindowSize(320, 221);
        host.SetWindowSize(320, 220);
        Show();
    }
    void Scroll(WPARAM code) { box->OnChildCommand(bar, WM_VSCROLL, code, 0); }
    void Wheel(WORD delta) { Send(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 100, 60); }

    UIEditBox* box = nullptr;
    UIScrollBar* bar = nullptr;
};

TEST_F(ReadMeTest, ScrollingModeSetsTheBarBesideTheWrappedText)
{
    EXPECT_TRUE(SameRect(box->GetTextRect(), RECT{10, 10, 210, 130})) << "normal mode uses the whole box";
    EXPECT_TRUE(IsRectEmpty(&bar->GetRect())) << "the bar is not placed in normal mode";

    Prepare(Lines(20));
    EXPECT_TRUE(SameRect(box->GetTextRect(), RECT{10, 10, 198, 130})) << Describe(box->GetTextRect());
    EXPECT_TRUE(SameRect(bar->GetRect(), RECT{198, 10, 210, 130})) << Describe(bar->GetRect());
    EXPECT_EQ(bar->GetPage(), 112);
    EXPECT_EQ(bar->GetMinimum(), 0);
    const int twenty = bar->GetMaximum();
    EXPECT_GT(twenty, 20 * 10) << "twenty lines measure more than 10 pixels each";

    // A longer text takes effect at the next layout, not before.
    box->SetText(Lines(40).c_str());
    EXPECT_EQ(bar->GetMaximum(), twenty);
    box->RelayoutTree();
    EXPECT_GT(bar->GetMaximum(), twenty + 15 * 10);

    // A long line wraps at the text area's width.
    box->SetText(L"word");
    box->RelayoutTree();
    const int oneLine = bar->GetMaximum();
    ASSERT_GT(oneLine, 0);
    std::wstring words;
    for (int i = 0; i < 60; ++i)
        words += L"word ";
    box->SetText(words.c_str());
    box->RelayoutTree();
    EXPECT_GT(bar->GetMaximum(), 3 * oneLine);

    // The box and the bar draw: paper in the margin, the track in the bar's strip.
    EXPECT_EQ(ColorAt(12, 12), kBlockColors[kPaper]);
    EXPECT_EQ(ColorAt(204, 125), kBlockColors[kTrack]);
}

// Each scroll code from a starting position: line and page moves and SB_BOTTOM stop at
// maximum - page - 1, upwards moves at 0, the thumb's codes take the bar's track position.
TEST_F(ReadMeTest, ScrollCodesMoveBothTheBarAndTheText)
{
    Prepare(Lines(40));
    const int page = bar->GetPage();
    const int top = bar->GetMaximum() - page - 1;
    ASSERT_GT(top, 2 * page);
    struct {
        WPARAM code;
        int from;
        int expected;
    } cases[] = {
        {SB_LINEUP, 0, 0},          {SB_LINEUP, 5, 4},
        {SB_LINEDOWN, 0, 1},        {SB_LINEDOWN, top, top},
        {SB_PAGEUP, 5, 0},          {SB_PAGEUP, top, top - page},
        {SB_PAGEDOWN, 0, page},     {SB_PAGEDOWN, top - 1, top},
        {SB_TOP, top, 0},           {SB_BOTTOM, 0, top},
        {SB_THUMBTRACK, 50, 0},     {SB_THUMBPOSITION, 50, 0},
        {SB_ENDSCROLL, 50, 50},
    };
    for (const auto& c : cases) {
        bar->SetPosition(c.from);
        Scroll(c.code);
        EXPECT_EQ(bar->GetPosition(), c.expected) << "code " << c.code << " from " << c.from;
        EXPECT_EQ(box->GetScrollOffset(), c.expected) << "code " << c.code << " from " << c.from;
    }
    EXPECT_EQ(box->OnChildCommand(bar, WM_COMMAND, SB_TOP, 0), 0);
    EXPECT_EQ(bar->GetPosition(), 50) << "only WM_VSCROLL scrolls";
}

// One step of page / 8 per wheel message towards or away from the user, down to maximum - page
// + 1 and up to 0; also with the pointer over the bar.
TEST_F(ReadMeTest, WheelStepsAnEighthOfThePage)
{
    Prepare(Lines(40));
    const int step = bar->GetPage() / 8;
    const int bottom = bar->GetMaximum() - bar->GetPage() + 1;
    Send(WM_MOUSEMOVE, 0, 100, 60);
    Wheel(0xFF88);  // towards the user: the text moves up
    EXPECT_EQ(box->GetScrollOffset(), step);
    Wheel(0xFF10);  // a bigger turn is still one step
    EXPECT_EQ(box->GetScrollOffset(), 2 * step);
    Wheel(120);
    Wheel(120);
    Wheel(120);
    EXPECT_EQ(box->GetScrollOffset(), 0);
    for (int i = 0; i < 200; ++i)
        Wheel(0xFF88);
    EXPECT_EQ(box->GetScrollOffset(), bottom);
    EXPECT_EQ(bar->GetPosition(), bottom);
    EXPECT_EQ(bar->GetThumbRect().bottom, 130);

    Send(WM_MOUSEMOVE, 0, 204, 60);  // over the bar: its parent, the box, gets the wheel too
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 204, 60);
    EXPECT_EQ(box->GetScrollOffset(), bottom - step);
}

// Content at most 100 pixels high does not scroll by wheel, while the bar still scrolls it; a
// box in normal mode ignores the wheel.
TEST_F(ReadMeTest, ShortContentIgnoresTheWheel)
{
    box->SetLayout(10, 10, 200, 40);  // a text area 32 pixels high
    Prepare(Lines(4));
    ASSERT_LE(bar->GetMaximum(), 100);
    ASSERT_GT(bar->GetMaximum(), bar->GetPage() + 1);
    Send(WM_MOUSEMOVE, 0, 100, 30);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 0xFF88), 100, 30);
    EXPECT_EQ(box->GetScrollOffset(), 0);
    Scroll(SB_PAGEDOWN);
    EXPECT_GT(box->GetScrollOffset(), 0);

    box->SetScrollMode(false);
    box->SetText(Lines(40).c_str());
    box->RelayoutTree();
    const int before = box->GetScrollOffset();
    EXPECT_EQ(box->ElementMouseWheel(0, 0xFF88, nullptr), 0);
    EXPECT_EQ(box->GetScrollOffset(), before);
}

// A shorter text keeps the offset until a downward move clamps it; content shorter than the view
// clamps to the top instead of pushing the text down.
TEST_F(ReadMeTest, ShorterTextKeepsTheOffsetUntilTheNextMoveDown)
{
    Prepare(Lines(60));
    Scroll(SB_BOTTOM);
    const int scrolled = box->GetScrollOffset();
    box->SetText(Lines(30).c_str());
    box->RelayoutTree();
    EXPECT_EQ(box->GetScrollOffset(), scrolled);
    EXPECT_EQ(bar->GetPosition(), scrolled);
    Scroll(SB_PAGEUP);
    EXPECT_EQ(box->GetScrollOffset(), scrolled - bar->GetPage()) << "upwards moves start from where it is";
    bar->SetPosition(scrolled);
    Scroll(SB_LINEDOWN);
    EXPECT_EQ(box->GetScrollOffset(), bar->GetMaximum() - bar->GetPage() - 1);

    box->SetText(L"One line");
    box->RelayoutTree();
    for (WPARAM code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM}) {
        bar->SetPosition(scrolled);
        Scroll(code);
        EXPECT_EQ(box->GetScrollOffset(), 0) << "code " << code;
    }

    // More than 100 pixels of content in a taller view: the wheel's bound is above the top too.
    box->SetLayout(10, 10, 200, 200);
    box->SetText(Lines(8).c_str());
    box->RelayoutTree();
    ASSERT_GT(bar->GetMaximum(), 100);
    ASSERT_LT(bar->GetMaximum(), bar->GetPage());
    Send(WM_MOUSEMOVE, 0, 100, 60);
    Wheel(0xFF88);
    EXPECT_EQ(box->GetScrollOffset(), 0);
}

// The text is drawn in the "normal" style even when disabled, clipped to the text area, and moves
// up with the offset: scrolled to its end, the first lines' band holds no text.
TEST_F(ReadMeTest, DrawsTheNormalStyleScrolledAndClipped)
{
    std::wstring text;
    for (int i = 0; i < 8; ++i)
        text += L"WWWWWWWWWWWW\r\n";
    for (int i = 0; i < 30; ++i)
        text += L"\r\n";
    text += L"W";
    Prepare(text);
    box->SetEnabledFlag(false);
    box->Invalidate(nullptr, TRUE);
    const RECT firstLines = {14, 14, 194, 60};
    EXPECT_TRUE(AnyPixelNear(firstLines, RGB(255, 0, 0)));
    EXPECT_FALSE(AnyPixelNear(RECT{14, 14, 194, 126}, RGB(0, 255, 0))) << "the grayed style was drawn";
    EXPECT_FALSE(AnyPixelNear(RECT{10, 10, 14, 130}, RGB(255, 0, 0))) << "text in the left margin";

    Scroll(SB_BOTTOM);
    EXPECT_FALSE(AnyPixelNear(firstLines, RGB(255, 0, 0)));
    EXPECT_FALSE(AnyPixelNear(RECT{10, 0, 210, 14}, RGB(255, 0, 0))) << "text above the area";
}

// ---- CXEdit ------------------------------------------------------------------------------------

// A CXEdit whose state the tests can set directly.
class TestEdit : public CXEdit {
public:
    using CXEdit::CXEdit;
    void SetState(int caret, int start, int end)
    {
        m_caret = caret;
        m_selectionStart = start;
        m_selectionEnd = end;
    }
    void SetRaw(const wchar_t* text) { m_text = text; }
};

// The folder box's parent: records the change notifications.
class ChangePane : public UIObject {
public:
    int changes = 0;
    int OnChildCommand(UIObject*, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && wParam == 0x04000000 && lParam == 0)
            ++changes;
        return 0;
    }
};

// The folder box at (10, 150, 210, 174) with a left margin of 4, inside a pane over the whole
// window that records its change notifications.
class FolderBoxTest : public SkinnedHostTest {
protected:
    void SetUp() override
    {
        SkinnedHostTest::SetUp();
        pane = new ChangePane();
        host.AddChild(pane);
        pane->SetLayout(0, 0, 320, 220);
        Make(CXEdit::kNoLimit);
        Show();
    }
    void Make(int maximumLength)
    {
        if (edit != nullptr)
            edit->SetVisible(false);
        edit = new TestEdit(maximumLength);
        edit->LoadFromResource(&resource, "Win/Path", nullptr);
        pane->AddChild(edit);
    }
    // A click on the box, with its release already queued for the selection loop.
    void Click(int x)
    {
        Send(WM_MOUSEMOVE, 0, x, kMiddle);
        Post(WM_LBUTTONUP, 0, x, kMiddle);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, kMiddle);
    }
    void Key(UINT key) { SendMessageW(host.GetHandle(), WM_KEYDOWN, key, 0); }
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
            SendMessageW(host.GetHandle(), WM_CHAR, c, 0);
    }
    // Where the text's characters end, measured as the box measures.
    int Edge(int characters)
    {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(host.GetMemDC(), edit->GetText().c_str(), characters, &size);
        return kLeft + size.cx;
    }

    static constexpr int kLeft = 14;  // the box's left edge plus its margin
    static constexpr int kMiddle = 162;
    ChangePane* pane = nullptr;
    TestEdit* edit = nullptr;
};

TEST_F(FolderBoxTest, EditingKeys)
{
    struct {
        const wchar_t* text;
        int caret, start, end;
        UINT key;
        const wchar_t* expectedText;
        int expectedCaret, expectedStart, expectedEnd;
        int changes;
    } cases[] = {
        {L"abcdef", 3, 1, 3, VK_BACK, L"adef", 1, 1, 1, 1},
        {L"abcdef", 1, 1, 3, VK_DELETE, L"adef", 1, 1, 1, 1},
        {L"abcdef", 3, 1, 3, VK_LEFT, L"abcdef", 0, 1, 1, 0},
        {L"abcdef", 1, 1, 3, VK_RIGHT, L"abcdef", 2, 1, 1, 0},
        {L"abcdef", 0, 0, 2, VK_BACK, L"abcdef", 0, 0, 2, 0},  // dragged rightwards from 0
        {L"abcdef", 2, 0, 2, VK_BACK, L"cdef", 0, 0, 0, 1},    // dragged leftwards to 0
        {L"abcdef", 3, 3, 3, VK_BACK, L"abdef", 2, 3, 3, 1},
        {L"abcdef", 0, 0, 0, VK_BACK, L"abcdef", 0, 0, 0, 0},
        {L"abcdef", 6, 6, 6, VK_DELETE, L"abcdef", 6, 6, 6, 1},  // at the end: nothing, still told
        {L"abcdef", 0, 4, 4, VK_DELETE, L"bcdef", 0, 4, 4, 1},
        {L"abcdef", 0, 0, 0, VK_LEFT, L"abcdef", 0, 0, 0, 0},
        {L"abcdef", 6, 0, 0, VK_RIGHT, L"abcdef", 6, 0, 0, 0},
        {L"abcdef", 3, 1, 5, VK_HOME, L"abcdef", 0, 0, 0, 0},
        {L"abcdef", 3, 1, 5, VK_END, L"abcdef", 6, 6, 6, 0},
        {L"abcdef", 3, 1, 5, VK_UP, L"abcdef", 3, 1, 5, 0},
        // A selection left beyond a shortened text removes only what exists.
        {L"abc", 3, 5, 8, VK_DELETE, L"abc", 3, 3, 3, 1},
        {L"abc", 3, 1, 9, VK_BACK, L"a", 1, 1, 1, 1},
        {L"abc", 3, 5, 8, VK_LEFT, L"abc", 2, 3, 3, 0},
    };
    Click(100);  // the box takes the focus
    ASSERT_EQ(host.GetFocusElement(), edit);
    for (const auto& c : cases) {
        edit->SetRaw(c.text);
        edit->SetState(c.caret, c.start, c.end);
        pane->changes = 0;
        Key(c.key);
        const std::string label = "key " + std::to_string(c.key) + " on caret " + std::to_string(c.caret) + " [" +
                                  std::to_string(c.start) + ", " + std::to_string(c.end) + ")";
        EXPECT_EQ(edit->GetText(), c.expectedText) << label;
        EXPECT_EQ(edit->GetCaret(), c.expectedCaret) << label;
        EXPECT_EQ(edit->GetSelectionStart(), c.expectedStart) << label;
        EXPECT_EQ(edit->GetSelectionEnd(), c.expectedEnd) << label;
        EXPECT_EQ(pane->changes, c.changes) << label;
    }
}

// Only "!" to "}" are typed; each typed character is one change; a limit refuses characters
// once the text is that long, and 0 refuses all.
TEST_F(FolderBoxTest, TypingTakesPrintableAsciiUpToTheLimit)
{
    Click(100);
    Type(L" \t\r\x1b~\x7f\x4e2d\x08");
    EXPECT_EQ(edit->GetText(), L"");
    EXPECT_EQ(pane->changes, 0);
    Type(L"!C:}");
    EXPECT_EQ(edit->GetText(), L"!C:}");
    EXPECT_EQ(edit->GetCaret(), 4);
    EXPECT_EQ(pane->changes, 4);
    Key(VK_HOME);
    Type(L"x");
    EXPECT_EQ(edit->GetText(), L"x!C:}");

    for (int limit : {3, 0, -5}) {
        Make(limit);
        Click(100);
        pane->changes = 0;
        Type(L"abcd");
        const size_t kept = limit > 0 ? static_cast<size_t>(limit) : 0;
        EXPECT_EQ(edit->GetText(), std::wstring(L"abcd").substr(0, kept)) << "limit " << limit;
        EXPECT_EQ(pane->changes, static_cast<int>(kept)) << "limit " << limit;
    }

    // A text set longer than the limit: a typed character still removes the selection, and the
    // change is reported although the character itself is refused.
    Make(3);
    Click(100);
    ASSERT_TRUE(edit->SetText(L"abcdef"));
    edit->SetState(3, 1, 3);
    pane->changes = 0;
    Type(L"x");
    EXPECT_EQ(edit->GetText(), L"adef");
    EXPECT_EQ(edit->GetCaret(), 1);
    EXPECT_EQ(pane->changes, 1);
}

// Double-click selects everything and a typed character replaces it; SetText afterwards keeps
// the selection's range over the new text.
TEST_F(FolderBoxTest, SelectAllAndSetText)
{
    Click(100);
    ASSERT_TRUE(edit->SetText(L"C:\\Program Files (x86)\\lumetra(ios)"));
    EXPECT_EQ(pane->changes, 1);
    EXPECT_EQ(edit->GetCaret(), 35);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 100, kMiddle);
    EXPECT_EQ(edit->GetSelectionStart(), 0);
    EXPECT_EQ(edit->GetSelectionEnd(), 35);
    EXPECT_EQ(edit->GetCaret(), 35);
    Type(L"D");
    EXPECT_EQ(edit->GetText(), L"D");
    EXPECT_EQ(edit->GetCaret(), 1);

    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 100, kMiddle);
    pane->changes = 0;
    EXPECT_FALSE(edit->SetText(nullptr));
    EXPECT_EQ(edit->GetText(), L"D");
    EXPECT_EQ(pane->changes, 0);
    ASSERT_TRUE(edit->SetText(L"D"));
    EXPECT_EQ(edit->GetCaret(), 1) << "the same text leaves the caret";
    edit->SetState(0, 0, 1);
    ASSERT_TRUE(edit->SetText(L"E:\\"));
    EXPECT_EQ(edit->GetCaret(), 3);
    EXPECT_EQ(edit->GetSelectionEnd(), 1) << "the selection is kept";
    Key(VK_DELETE);
    EXPECT_EQ(edit->GetText(), L":\\");
}

// The index a point falls on: the nearer edge of the character under it (ties to the left), 0 to
// the left of the text, above or below it, and the length to its right.
TEST_F(FolderBoxTest, HitTestPicksTheNearerEdge)
{
    ASSERT_TRUE(edit->SetText(L"iWiW"));
    HDC dc = host.GetMemDC();
    for (int i = 1; i <= 4; ++i) {
        const int left = Edge(i - 1), right = Edge(i);
        ASSERT_GT(right - left, 1);
        for (int x : {left, left + (right - left) / 2, right - 1}) {
            const int expected = right - x < x - left ? i : i - 1;
            EXPECT_EQ(edit->HitTest(dc, POINT{x, kMiddle}), expected) << "character " << i << " at " << x;
        }
    }
    EXPECT_EQ(edit->HitTest(dc, POINT{kLeft - 1, kMiddle}), 0);
    EXPECT_EQ(edit->HitTest(dc, POINT{Edge(4), kMiddle}), 4);
    EXPECT_EQ(edit->HitTest(dc, POINT{300, kMiddle}), 4);
    EXPECT_EQ(edit->HitTest(dc, POINT{Edge(2), 149}), 0) << "above the box";
    EXPECT_EQ(edit->HitTest(dc, POINT{300, 175}), 4) << "below and right of the text";
}

// Dragging selects from the anchor to the pointer, both ways, with the caret left at the anchor;
// so Backspace removes a selection dragged leftwards and leaves one dragged rightwards from 0.
TEST_F(FolderBoxTest, DragSelectionRunsInItsOwnLoop)
{
    ASSERT_TRUE(edit->SetText(L"abcdef"));
    struct {
        int from, to;
        int start, end, caret;
        const wchar_t* afterBackspace;
    } drags[] = {
        {0, 2, 0, 2, 0, L"abcdef"},
        {3, 1, 1, 3, 3, L"adef"},
        {1, 6, 1, 6, 1, L"a"},
    };
    for (const auto& d : drags) {
        ASSERT_TRUE(edit->SetText(L"abcdef"));
        const int from = d.from == 0 ? kLeft : Edge(d.from);
        const int to = d.to == 6 ? 300 : Edge(d.to);
        Send(WM_MOUSEMOVE, 0, from, kMiddle);
        Post(WM_MOUSEMOVE, 0, Edge(5), kMiddle);  // somewhere on the way
        Post(WM_MOUSEMOVE, 0, to, kMiddle);
        Post(WM_LBUTTONUP, 0, to, kMiddle);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, from, kMiddle);
        EXPECT_EQ(edit->GetSelectionStart(), d.start) << d.from << " to " << d.to;
        EXPECT_EQ(edit->GetSelectionEnd(), d.end) << d.from << " to " << d.to;
        EXPECT_EQ(edit->GetCaret(), d.caret) << d.from << " to " << d.to;
        EXPECT_TRUE(edit->IsCaretShown());
        EXPECT_EQ(GetCapture(), nullptr);
        Key(VK_BACK);
        EXPECT_EQ(edit->GetText(), d.afterBackspace) << d.from << " to " << d.to;
    }

    // Escape ends the drag where it is; later moves stay in the queue. A quit ends it too and is
    // posted again.
    ASSERT_TRUE(edit->SetText(L"abcdef"));
    Send(WM_MOUSEMOVE, 0, kLeft, kMiddle);
    Post(WM_MOUSEMOVE, 0, Edge(2), kMiddle);
    PostMessageW(host.GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Post(WM_MOUSEMOVE, 0, Edge(4), kMiddle);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kLeft, kMiddle);
    EXPECT_EQ(edit->GetSelectionEnd(), 2);
    Drain();
    EXPECT_EQ(edit->GetSelectionEnd(), 2);

    // Draining may have delivered the system's leave notice for the real pointer, so the pointer
    // comes back over the box before the press.
    Send(WM_MOUSEMOVE, 0, Edge(3), kMiddle);
    Post(WM_MOUSEMOVE, 0, Edge(5), kMiddle);
    PostQuitMessage(3);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Edge(3), kMiddle);
    EXPECT_EQ(edit->GetCaret(), 3) << "the press did not reach the box";
    EXPECT_EQ(edit->GetSelectionEnd(), 5);
    EXPECT_EQ(GetCapture(), nullptr);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was swallowed";
    EXPECT_EQ(message.wParam, 3u);
}

// Focus starts the 500 ms blink timer and shows the caret; each tick flips it; losing the focus
// hides it and stops the timer. A tick of a timer that is not the box's is stopped.
TEST_F(FolderBoxTest, FocusBlinksTheCaret)
{
    EXPECT_FALSE(edit->IsCaretShown());
    EXPECT_EQ(edit->GetBlinkTimerId(), -1);
    Click(100);
    ASSERT_NE(edit->GetBlinkTimerId(), -1);
    EXPECT_TRUE(edit->IsCaretShown());
    const WPARAM id = static_cast<WPARAM>(edit->GetBlinkTimerId());
    SendMessageW(host.GetHandle(), WM_TIMER, id, 0);
    EXPECT_FALSE(edit->IsCaretShown());
    SendMessageW(host.GetHandle(), WM_TIMER, id, 0);
    EXPECT_TRUE(edit->IsCaretShown());

    SetTimer(host.GetHandle(), 99, 100000, nullptr);
    edit->ElementTimer(99);
    EXPECT_TRUE(edit->IsCaretShown());
    EXPECT_FALSE(KillTimer(host.GetHandle(), 99)) << "the foreign timer was not stopped";

    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(host.GetHandle()), HTCLIENT, WM_MOUSEMOVE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_IBEAM));

    Send(WM_MOUSEMOVE, 0, 300, 20);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 300, 20);  // empty window area
    Send(WM_LBUTTONUP, 0, 300, 20);
    EXPECT_FALSE(edit->IsCaretShown());
    EXPECT_EQ(edit->GetBlinkTimerId(), -1);
    EXPECT_FALSE(KillTimer(host.GetHandle(), id)) << "the blink timer still runs";
    SendMessageW(host.GetHandle(), WM_TIMER, id, 0);
    EXPECT_FALSE(edit->IsCaretShown());
}

// The caret is a dark line two pixels right of the text before it; a selection is a blue band
// behind white text, covering only characters that exist, and hides the caret.
TEST_F(FolderBoxTest, DrawsCaretAndSelection)
{
    const RECT inside = {10, 150, 210, 174};
    Click(100);
    ASSERT_TRUE(edit->IsCaretShown());
    const int caretTop = 150 + (24 - 16) / 2;
    // Alone in an empty box: a line about one pixel wide at the margin plus 2, 14 pixels long.
    const RECT line = DarkBounds(inside);
    EXPECT_GE(line.left, kLeft + 1) << Describe(line);
    EXPECT_LE(line.right, kLeft + 4) << Describe(line);
    EXPECT_GE(line.top, caretTop - 1) << Describe(line);
    EXPECT_LE(line.bottom, caretTop + 16) << Describe(line);
    EXPECT_GE(line.bottom - line.top, 12) << Describe(line);
    const WPARAM blink = static_cast<WPARAM>(edit->GetBlinkTimerId());
    SendMessageW(host.GetHandle(), WM_TIMER, blink, 0);
    EXPECT_TRUE(SameRect(DarkBounds(inside), RECT{0, 0, 0, 0})) << "a hidden caret is still drawn";

    // After text, the caret is what a blink takes away: right of the characters before it.
    ASSERT_TRUE(edit->SetText(L"abcdef"));
    edit->SetState(2, 2, 2);
    const std::vector<COLORREF> hidden = Snapshot(inside);
    SendMessageW(host.GetHandle(), WM_TIMER, blink, 0);
    ASSERT_TRUE(edit->IsCaretShown());
    const RECT changed = Difference(inside, hidden);
    EXPECT_GE(changed.left, Edge(2) + 1) << Describe(changed);
    EXPECT_LE(changed.right, Edge(2) + 4) << Describe(changed);

    edit->SetState(4, 1, 4);
    edit->Invalidate(nullptr, TRUE);
    const int bandTop = 150 + (24 - 18) / 2;
    const COLORREF blue = RGB(0x33, 0x99, 0xFF);
    EXPECT_EQ(ColorAt(Edge(1) + 3, bandTop), blue);
    EXPECT_EQ(ColorAt(Edge(4) + 1, bandTop), blue);
    EXPECT_EQ(ColorAt(Edge(4) + 3, bandTop), kBlockColors[kWhite]);
    EXPECT_TRUE(AnyPixelNear(RECT{Edge(1) + 2, bandTop, Edge(4) + 2, bandTop + 17}, RGB(255, 255, 255)));
    edit->SetState(6, 0, 6);
    edit->Invalidate(nullptr, TRUE);
    EXPECT_TRUE(SameRect(DarkBounds(inside), RECT{0, 0, 0, 0})) << "a caret or black text beside a full selection";

    // A selection beyond a shortened text is drawn only over what exists.
    edit->SetState(2, 0, 40);
    edit->SetRaw(L"ab");
    edit->Invalidate(nullptr, TRUE);
    EXPECT_EQ(ColorAt(kLeft + 3, bandTop), blue);
    EXPECT_EQ(ColorAt(Edge(2) + 4, bandTop), kBlockColors[kWhite]);
}

}  // namespace
