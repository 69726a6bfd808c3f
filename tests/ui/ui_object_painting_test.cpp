#include "ui/ui_object.h"

#include <gtest/gtest.h>

#include <thread>

#include "ui_test_elements.h"

namespace {

class LayeredPaintingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr)); }

    void SetUp() override
    {
        ASSERT_TRUE(host.Create(nullptr, 0, 0, WS_POPUP, L"layered", 0));
        host.SetWindowSize(200, 100);
        ASSERT_EQ(host.MakeLayered(), 1);
        control = new RecordingElement("control", nullptr, RGB(255, 0, 0));
        control->Place(20, 20, 40, 30);
        host.AddChild(control);
    }
    void TearDown() override { DestroyWindow(host.GetHandle()); }

    void Show()
    {
        ShowWindow(host.GetHandle(), SW_SHOWNOACTIVATE);
        ASSERT_TRUE(host.Pixels() != nullptr);
    }
    // True when the pixel's colour bytes equal the colour (blue, green, red in memory).
    bool ColourAt(int x, int y, COLORREF colour)
    {
        const BYTE* p = host.PixelAt(x, y);
        return p[2] == GetRValue(colour) && p[1] == GetGValue(colour) && p[0] == GetBValue(colour);
    }

    HostWindow host;
    RecordingElement* control = nullptr;
};

TEST_F(LayeredPaintingTest, HiddenWindowPaintsNothingUntilItsFirstShowThenEverythingOnce)
{
    control->Invalidate(nullptr, TRUE);
    EXPECT_EQ(host.paints, 0);
    Show();
    EXPECT_EQ(host.paints, 1);
    EXPECT_EQ(host.lastClip.right, 200);
    EXPECT_EQ(host.lastClip.bottom, 100);
    EXPECT_EQ(control->paints, 1);
    EXPECT_TRUE(ColourAt(30, 30, RGB(255, 0, 0)));
    EXPECT_TRUE(ColourAt(5, 5, RGB(0, 0, 80)));

    ShowWindow(host.GetHandle(), SW_HIDE);
    ShowWindow(host.GetHandle(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(host.paints, 1) << "showing again paints nothing by itself";
}

TEST_F(LayeredPaintingTest, InvalidatingAControlRepaintsOnlyItsRectangleBeforeReturning)
{
    Show();
    host.FillBuffer(0x11);
    control->Invalidate(nullptr, TRUE);
    EXPECT_EQ(host.paints, 2);
    EXPECT_EQ(host.lastClip.left, 20);
    EXPECT_EQ(host.lastClip.top, 20);
    EXPECT_EQ(host.lastClip.right, 60);
    EXPECT_EQ(host.lastClip.bottom, 50);
    EXPECT_TRUE(ColourAt(20, 20, RGB(255, 0, 0)));
    EXPECT_TRUE(ColourAt(59, 49, RGB(255, 0, 0)));
    // Outside the control nothing was touched, not even the alpha.
    const BYTE* outside = host.PixelAt(70, 30);
    EXPECT_EQ(outside[0], 0x11);
    EXPECT_EQ(outside[3], 0x11);
    // Inside, the alpha was cleared before the pass and GDI does not write it.
    EXPECT_EQ(host.PixelAt(30, 30)[3], 0);
}

TEST_F(LayeredPaintingTest, ChildrenAreClippedToTheirAncestorsAndSkippedWhenInvisible)
{
    auto* overflowing = new RecordingElement("overflowing", nullptr, RGB(0, 255, 0));
    overflowing->Place(30, 20, 40, 20);  // reaches 10 pixels past the control's right edge
    control->AddChild(overflowing);
    auto* hidden = new RecordingElement("hidden", nullptr, RGB(0, 0, 255));
    hidden->Place(100, 10, 50, 50);
    host.AddChild(hidden);
    auto* underHidden = new RecordingElement("underHidden", nullptr, RGB(255, 255, 0));
    underHidden->Place(0, 0, 10, 10);
    hidden->AddChild(underHidden);
    hidden->SetVisible(false);

    Show();
    EXPECT_TRUE(ColourAt(55, 45, RGB(0, 255, 0)));
    EXPECT_TRUE(ColourAt(65, 45, RGB(0, 0, 80))) << "painted outside its parent";
    EXPECT_EQ(hidden->paints, 0);
    EXPECT_EQ(underHidden->paints, 0);
    EXPECT_TRUE(ColourAt(120, 30, RGB(0, 0, 80)));
}

TEST_F(LayeredPaintingTest, ResizingRePlacesTheTreeWithOneFullRepaint)
{
    auto* corner = new RecordingElement("corner", nullptr, RGB(0, 255, 0));
    corner->Place(-30, -20, 30, 20);
    host.AddChild(corner);
    Show();
    int before = host.paints;
    host.SetWindowSize(300, 150);
    EXPECT_EQ(host.paints, before + 1);
    EXPECT_EQ(host.lastClip.right, 300);
    EXPECT_EQ(host.lastClip.bottom, 150);
    EXPECT_EQ(corner->GetRect().left, 270);
    EXPECT_EQ(corner->GetRect().top, 130);
    EXPECT_TRUE(ColourAt(280, 140, RGB(0, 255, 0)));
}

TEST_F(LayeredPaintingTest, AnotherThreadDoesNotWaitForThePaint)
{
    Show();
    int before = host.paints;
    std::thread worker([this] { control->Invalidate(nullptr, TRUE); });
    worker.join();  // returns although this thread is not handling messages
    EXPECT_EQ(host.paints, before);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(host.paints, before + 1);
    EXPECT_EQ(host.lastClip.left, 20);
}

TEST(MakeLayered, ChildWindowsStayPlain)
{
    CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr));
    HostWindow parent, child;
    ASSERT_TRUE(parent.Create(nullptr, 0, 0, WS_POPUP, L"parent", 0));
    ASSERT_TRUE(child.Create(parent.GetHandle(), 0, 0, WS_CHILD, L"child", 0));
    EXPECT_EQ(child.MakeLayered(), 0);
    EXPECT_FALSE(GetWindowLongW(child.GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    HostWindow unbound;
    EXPECT_EQ(unbound.MakeLayered(), 0);
}

TEST(PlainPainting, PaintsThroughTheBackBufferClippedToTheUpdateArea)
{
    CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr));
    HostWindow window;
    ASSERT_TRUE(window.Create(nullptr, 0, 0, WS_POPUP, L"plain", 0));
    window.SetWindowSize(100, 60);
    auto* box = new RecordingElement("box", nullptr, RGB(255, 0, 0));
    box->Place(10, 10, 20, 20);
    window.AddChild(box);
    ShowWindow(window.GetHandle(), SW_SHOWNOACTIVATE);
    UpdateWindow(window.GetHandle());
    EXPECT_GE(window.paints, 1);
    HDC memory = window.GetMemDC();
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(GetPixel(memory, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(memory, 50, 50), RGB(0, 0, 80));

    int before = box->paints;
    box->Invalidate(nullptr, TRUE);
    UpdateWindow(window.GetHandle());
    EXPECT_EQ(box->paints, before + 1);
    EXPECT_EQ(window.lastClip.left, 10);
    EXPECT_EQ(window.lastClip.right, 30);
    DestroyWindow(window.GetHandle());
}

}  // namespace
