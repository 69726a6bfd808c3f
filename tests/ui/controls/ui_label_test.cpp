#include "ui/controls/ui_label.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>

#include "control_test_support.h"

namespace {

using namespace control_testing;

// Removes up to limit repaint requests waiting for the window.
void DropPostedRepaints(HWND window, int limit)
{
    MSG message;
    for (int i = 0; i < limit && PeekMessageW(&message, window, WM_LAYERED_PAINT, WM_LAYERED_PAINT, PM_REMOVE); ++i) {
    }
}

class UILabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadTestSkin(skin));
        ASSERT_TRUE(CreateLayeredHost(host, 400, 240));
        ShowQuietly(host.GetHandle());
    }
    void TearDown() override { DestroyWindow(host.GetHandle()); }

    // A label built the way windows build one without a resource node.
    UILabel* AddBareLabel(int x, int y, int w, int h)
    {
        auto* label = new UILabel;
        host.AddChild(label);
        label->SetLayout(x, y, w, h);
        return label;
    }

    UIResource skin;
    TestHost host;
};

TEST_F(UILabelTest, ANeverLoadedLabelCentresOneLine)
{
    UILabel* label = AddBareLabel(10, 10, 300, 40);
    EXPECT_EQ(label->GetControlType(), kControlLabel);
    EXPECT_TRUE(label->IsCaptionTransparent());
    label->SetText(L"Ready to install");
    const RECT marks = host.Marks(label->GetRect(), kHostColour);
    ASSERT_FALSE(IsRectEmpty(&marks)) << "nothing drawn";
    EXPECT_NEAR((marks.left + marks.right) / 2, 160, 3) << Describe(marks);
    EXPECT_NEAR((marks.top + marks.bottom) / 2, 30, 3) << Describe(marks);
    EXPECT_LT(marks.bottom - marks.top, 20) << "one line";
}

TEST_F(UILabelTest, AStyleWithoutAlignmentDrawsFromTheTopLeftAndWraps)
{
    auto* label = static_cast<UILabel*>(UIObject::CreateControl("Host/FontOnly", &skin, kControlLabel, &host));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetTextStyle().format, 0u) << "a missing \"al\" is 0, not the centred default";
    EXPECT_NE(label->GetTextStyle().font, nullptr);
    label->SetText(L"alpha beta gamma delta epsilon zeta eta theta iota kappa");
    const RECT area = label->GetRect();
    EXPECT_EQ(Describe(area), "(10, 50, 160, 170)");
    const RECT marks = host.Marks(area, kHostColour);
    ASSERT_FALSE(IsRectEmpty(&marks));
    EXPECT_LT(marks.left - area.left, 5) << Describe(marks);
    EXPECT_LT(marks.top - area.top, 6) << Describe(marks);
    EXPECT_GT(marks.bottom - marks.top, 40) << "several lines: " << Describe(marks);
}

TEST_F(UILabelTest, DrawsOnlyItsTextOverWhatLiesBeneath)
{
    auto* label = static_cast<UILabel*>(UIObject::CreateControl("Host/Label", &skin, kControlLabel, &host));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), L"Ready") << "the resource's text is the first text";
    label->Invalidate(nullptr, TRUE);
    const RECT area = label->GetRect();
    const int areaPixels = (area.right - area.left) * (area.bottom - area.top);
    EXPECT_GT(host.CountNear(area, kCaptionColour, 40), 10);
    EXPECT_GT(host.CountColour(area, kHostColour), areaPixels * 8 / 10) << "a label has no image";

    label->SetText(nullptr);
    EXPECT_EQ(label->GetText(), L"");
    EXPECT_EQ(host.CountColour(area, kHostColour), areaPixels) << "an empty label draws nothing";

    UILabel missing;
    EXPECT_EQ(missing.LoadFromResource(&skin, "Host/Nothing", nullptr), 0);
    EXPECT_EQ(missing.GetTextStyle().format, 0x25u) << "an unread label keeps its centred style";
}

// The download worker replaces the text while this thread paints: every paint shows one whole
// text, old or new, never a mixture of the two.
TEST_F(UILabelTest, TextReplacedFromAnotherThreadIsPaintedWholeOrNotAtAll)
{
    UILabel* label = AddBareLabel(10, 10, 380, 40);
    const std::wstring first = L"正在下载组件 Downloading 1234567890";
    const std::wstring second = L"安装 iTunes, please wait ......";
    const RECT area = label->GetRect();
    label->SetText(first.c_str());
    const std::vector<COLORREF> firstPixels = host.Snapshot(area);
    label->SetText(second.c_str());
    const std::vector<COLORREF> secondPixels = host.Snapshot(area);
    ASSERT_NE(firstPixels, secondPixels);

    // The worker changes the text until this thread has painted and checked the label a few
    // hundred times. Each change posts a repaint; this thread paints by itself and throws those
    // requests away, so that the queue does not outgrow the test.
    constexpr int kPaints = 300;
    std::atomic<int> painted(0);
    std::atomic<int> changes(0);
    std::thread worker([&] {
        while (painted < kPaints) {
            label->SetText((changes % 2 == 0 ? first : second).c_str());
            ++changes;
            std::this_thread::yield();
        }
    });
    int mixed = 0;
    for (; painted < kPaints; ++painted) {
        label->Invalidate(nullptr, TRUE);
        const std::vector<COLORREF> now = host.Snapshot(area);
        if (now != firstPixels && now != secondPixels)
            ++mixed;
        const std::wstring text = label->GetText();
        if (text != first && text != second)
            ++mixed;
        DropPostedRepaints(host.GetHandle(), 5000);
    }
    worker.join();
    DropPostedRepaints(host.GetHandle(), INT_MAX);
    EXPECT_EQ(mixed, 0);
    EXPECT_GT(changes.load(), 10) << "the worker hardly ran alongside the paints";
    label->Invalidate(nullptr, TRUE);
    EXPECT_EQ(host.Snapshot(area), label->GetText() == first ? firstPixels : secondPixels);
}

TEST_F(UILabelTest, TheWorkerDoesNotWaitForTheRepaintThatFollows)
{
    UILabel* label = AddBareLabel(20, 100, 300, 30);
    label->SetText(L"下载中");
    const std::vector<COLORREF> before = host.Snapshot(label->GetRect());
    const int paints = host.paints;

    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        label->SetText(L"Installing the device component");
        SetEvent(done);
    });
    // This thread handles no messages while it waits: a worker that waited for the paint would
    // never get here.
    EXPECT_EQ(WaitForSingleObject(done, 10000), WAIT_OBJECT_0);
    worker.join();
    CloseHandle(done);
    EXPECT_EQ(host.paints, paints) << "painted before this thread handled its messages";
    EXPECT_EQ(host.Snapshot(label->GetRect()), before);

    PumpMessages();
    EXPECT_EQ(host.paints, paints + 1);
    EXPECT_EQ(Describe(host.lastClip), Describe(label->GetRect())) << "only the label is repainted";
    const std::vector<COLORREF> after = host.Snapshot(label->GetRect());
    EXPECT_NE(after, before);
    label->Invalidate(nullptr, TRUE);
    EXPECT_EQ(host.Snapshot(label->GetRect()), after) << "the posted repaint drew the new text";
}

}  // namespace
