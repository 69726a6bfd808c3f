#include "ui/controls/ui_scroll_bar.h"

#include <gtest/gtest.h>

#include <vector>

#include "edits_test_support.h"

namespace {

using namespace edits_test;
using testing_pixels::Describe;
using testing_pixels::SameRect;

// The bar's parent: records every notification and, like the edit box, follows the thumb.
class ScrollOwner : public UIObject {
public:
    struct Notice {
        UIObject* sender;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Notice> notices;

    int OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        notices.push_back({sender, message, wParam, lParam});
        auto* bar = static_cast<UIScrollBar*>(sender);
        if (LOWORD(wParam) == SB_THUMBTRACK) {
            bar->SetPosition(bar->GetTrackPosition());
            bar->UpdateThumb();
        }
        return 0;
    }
    std::vector<WPARAM> Codes() const
    {
        std::vector<WPARAM> codes;
        for (const Notice& n : notices)
            codes.push_back(n.wParam);
        return codes;
    }
};

WPARAM Track(int position)
{
    return MAKEWPARAM(SB_THUMBTRACK, position);
}

// A bar at (10, 20, 22, 220) in the host: a 200-pixel track.
class ScrollBarTest : public SkinnedHostTest {
protected:
    void SetUp() override
    {
        SkinnedHostTest::SetUp();
        owner = new ScrollOwner();
        host.AddChild(owner);
        owner->SetLayout(0, 0, 320, 220);
        bar = NewBar(200);
        Show();
    }

    UIScrollBar* NewBar(int height)
    {
        auto* made = static_cast<UIScrollBar*>(UIObject::CreateControl("Win/ReadMe/ScrollBar", &resource,
                                                                       kControlScrollBar, owner));
        made->SetLayout(10, 20, 12, height);
        return made;
    }
    void Set(UIScrollBar* target, int range, int page, int position)
    {
        target->SetPage(page);
        target->SetPosition(position);
        target->SetRange(range);
    }

    ScrollOwner* owner = nullptr;
    UIScrollBar* bar = nullptr;
};

// Thumb places for proportional, minimum-length and fixed thumbs, each on a fresh bar.
TEST_F(ScrollBarTest, ThumbGeometry)
{
    struct {
        int range, page, position, minimumLength;
        LONG top, bottom;
    } cases[] = {
        {1000, 200, 0, 16, 20, 60},          // length MulDiv(199, 200, 1000) = 40
        {1000, 200, 400, 16, 100, 140},
        {1000, 200, 801, 16, 180, 220},      // the thumb's own end: range - page + 1
        {100, 300, 0, 16, 20, 220},          // content shorter than the view fills the track
        {100000, 200, 50000, 16, 112, 128},  // too short: minimum length over 200 - 16 of travel
        {100000, 200, 50000, 30, 105, 135},  // the edit box's minimum of 30
        {100000, 200, 100000, 16, 204, 220},
        {1000, 0, 500, 16, 112, 128},        // page 0: a fixed thumb of the minimum length
        {1000, 0, 500, 300, 20, 220},        // a fixed thumb longer than the track is cut to it
        {0, 200, 0, 16, 0, 0},               // no range: the thumb stays empty
    };
    for (const auto& c : cases) {
        UIScrollBar* fresh = NewBar(200);
        fresh->SetMinThumbLength(c.minimumLength);
        Set(fresh, c.range, c.page, c.position);
        const RECT expected = c.bottom == 0 ? RECT{0, 0, 0, 0} : RECT{10, c.top, 22, c.bottom};
        EXPECT_TRUE(SameRect(fresh->GetThumbRect(), expected))
            << c.range << "/" << c.page << "/" << c.position << ": " << Describe(fresh->GetThumbRect());
        EXPECT_TRUE(SameRect(fresh->GetTrackRect(), RECT{10, 20, 22, 220}));
    }

    Set(bar, 1000, 200, 400);
    EXPECT_TRUE(SameRect(bar->GetPageUpRect(), RECT{10, 20, 22, 100})) << Describe(bar->GetPageUpRect());
    EXPECT_TRUE(SameRect(bar->GetPageDownRect(), RECT{10, 140, 22, 220})) << Describe(bar->GetPageDownRect());
    Set(bar, 100, 300, 0);
    EXPECT_TRUE(IsRectEmpty(&bar->GetPageUpRect()));
    EXPECT_TRUE(IsRectEmpty(&bar->GetPageDownRect()));
}

// A fixed thumb moves only when its new place is at least a thumb length away.
TEST_F(ScrollBarTest, FixedThumbJumpsInStepsOfItsLength)
{
    Set(bar, 1000, 0, 500);
    EXPECT_EQ(bar->GetThumbRect().top, 112);
    bar->SetPosition(540);  // offset 99: 13 pixels on
    bar->UpdateThumb();
    EXPECT_EQ(bar->GetThumbRect().top, 112);
    bar->SetPosition(600);  // offset 110: 18 pixels on
    bar->UpdateThumb();
    EXPECT_EQ(bar->GetThumbRect().top, 130);
}

// Track presses send one page notification each, from the first area that holds the point; a
// double-click and a release send nothing, and the bar never moves itself.
TEST_F(ScrollBarTest, TrackPressesSendOnePageNotificationEach)
{
    Set(bar, 1000, 200, 400);  // thumb 100..140
    struct {
        int y;
        WPARAM expected;
    } presses[] = {{50, SB_PAGEUP}, {20, SB_PAGEUP}, {99, SB_PAGEUP}, {140, SB_PAGEDOWN}, {219, SB_PAGEDOWN}};
    for (const auto& p : presses) {
        owner->notices.clear();
        Send(WM_MOUSEMOVE, 0, 16, p.y);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, 16, p.y);
        Send(WM_LBUTTONUP, 0, 16, p.y);
        Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 16, p.y);
        Send(WM_LBUTTONUP, 0, 16, p.y);
        ASSERT_EQ(owner->notices.size(), 1u) << "y " << p.y;
        EXPECT_EQ(owner->notices[0].sender, bar);
        EXPECT_EQ(owner->notices[0].message, static_cast<UINT>(WM_VSCROLL));
        EXPECT_EQ(owner->notices[0].wParam, p.expected) << "y " << p.y;
        EXPECT_EQ(owner->notices[0].lParam, 0);
    }
    EXPECT_EQ(bar->GetPosition(), 400);
}

// The drag loop takes the pointer's moves from the queue: the thumb follows the pointer, stops
// following more than 96 pixels to the side or above and below the track, and resumes from the
// last accepted point. A second drag that ends where the first did sends nothing for that step.
TEST_F(ScrollBarTest, ThumbDragFollowsThePointerInItsOwnLoop)
{
    Set(bar, 1000, 200, 0);  // thumb 20..60, 160 pixels of travel, 801 positions
    Send(WM_MOUSEMOVE, 0, 16, 30);
    Post(WM_MOUSEMOVE, 0, 16, 80);    // 50 down: MulDiv(50, 801, 160) = 250
    Post(WM_MOUSEMOVE, 0, 130, 150);  // 108 right of the track's right edge: ignored
    Post(WM_MOUSEMOVE, 0, 16, 100);   // 20 down from the last accepted point: 350
    Post(WM_MOUSEMOVE, 0, 16, 300);   // below the track: ignored
    Post(WM_MOUSEMOVE, 0, 16, 219);   // to the end: 801
    Post(WM_MOUSEMOVE, 0, 16, 219);   // no change, no notification
    Post(WM_LBUTTONUP, 0, 16, 219);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 16, 30);
    EXPECT_EQ(owner->Codes(), (std::vector<WPARAM>{Track(250), Track(350), Track(801)}));
    EXPECT_EQ(bar->GetPosition(), 801);
    EXPECT_EQ(bar->GetThumbRect().bottom, 220);
    EXPECT_EQ(GetCapture(), nullptr);

    owner->notices.clear();
    bar->SetPosition(0);  // moved meanwhile, as a page press or the wheel would
    bar->UpdateThumb();
    Send(WM_MOUSEMOVE, 0, 16, 30);
    Post(WM_MOUSEMOVE, 0, 16, 219);  // 801 again: the last value sent, so nothing goes out
    Post(WM_MOUSEMOVE, 0, 16, 150);  // back to the top: 0
    Post(WM_LBUTTONUP, 0, 16, 150);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 16, 30);
    EXPECT_EQ(owner->Codes(), (std::vector<WPARAM>{Track(0)}));
}

// Escape ends a drag and leaves later moves in the queue; a quit message ends it too and is
// posted again for the program's own loop.
TEST_F(ScrollBarTest, EscapeAndQuitEndTheDrag)
{
    Set(bar, 1000, 200, 0);
    Send(WM_MOUSEMOVE, 0, 16, 30);
    Post(WM_MOUSEMOVE, 0, 16, 80);
    PostMessageW(host.GetHandle(), WM_KEYDOWN, 'A', 0);
    PostMessageW(host.GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Post(WM_MOUSEMOVE, 0, 16, 150);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 16, 30);
    EXPECT_EQ(owner->Codes(), (std::vector<WPARAM>{Track(250)}));
    EXPECT_EQ(GetCapture(), nullptr);
    Drain();
    EXPECT_EQ(owner->notices.size(), 1u) << "a move after the drag is no drag step";

    owner->notices.clear();
    bar->SetPosition(0);
    bar->UpdateThumb();
    Send(WM_MOUSEMOVE, 0, 16, 30);
    Post(WM_MOUSEMOVE, 0, 16, 100);  // 70 down: 350
    PostQuitMessage(7);  // no release is queued: only the quit can end this drag
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 16, 30);
    EXPECT_EQ(owner->Codes(), (std::vector<WPARAM>{Track(350)}));
    EXPECT_EQ(GetCapture(), nullptr);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was swallowed";
    EXPECT_EQ(message.wParam, 7u);
}

// A thumb that fills its track has no travel: dragging it computes track position 0, which is
// sent only when the last value sent differs. This holds for content shorter than the view and
// for a page equal to the range on a track shorter than the thumb's minimum.
TEST_F(ScrollBarTest, ThumbFillingTheTrackDragsToZero)
{
    struct {
        int height, range, page;
    } cases[] = {{200, 100, 300}, {20, 1000, 1000}};
    for (const auto& c : cases) {
        UIScrollBar* fresh = NewBar(c.height);
        Set(fresh, c.range, c.page, 0);
        ASSERT_EQ(fresh->GetThumbRect().bottom - fresh->GetThumbRect().top, c.height);
        owner->notices.clear();
        Send(WM_MOUSEMOVE, 0, 16, 25);
        Post(WM_MOUSEMOVE, 0, 16, 20 + c.height / 2);
        Post(WM_MOUSEMOVE, 0, 16, 20 + c.height);
        Post(WM_LBUTTONUP, 0, 16, 20 + c.height);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, 16, 25);
        EXPECT_TRUE(owner->notices.empty()) << "height " << c.height << " sent " << owner->notices.size();
        EXPECT_EQ(fresh->GetTrackPosition(), 0) << "height " << c.height;
        fresh->SetVisible(false);  // out of the way of the next case
    }
}

// The track image is drawn over the whole bar and the thumb image over the thumb.
TEST_F(ScrollBarTest, DrawsTrackAndThumb)
{
    Set(bar, 1000, 200, 400);
    bar->Invalidate(nullptr, TRUE);
    EXPECT_EQ(ColorAt(16, 60), kBlockColors[kTrack]);
    EXPECT_EQ(ColorAt(16, 120), kBlockColors[kThumb]);
    EXPECT_EQ(ColorAt(16, 180), kBlockColors[kTrack]);
    EXPECT_EQ(ColorAt(30, 120), kHostColor);
}

}  // namespace
