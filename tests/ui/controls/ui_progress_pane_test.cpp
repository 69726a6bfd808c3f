#include "ui/controls/ui_pane.h"
#include "ui/controls/ui_progress.h"

#include <gtest/gtest.h>

#include <climits>

#include "control_test_support.h"
#include "ui/controls/ui_label.h"

namespace {

using namespace control_testing;

class SkinnedHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadTestSkin(skin));
        ASSERT_TRUE(CreateLayeredHost(host, 600, 200));
        ShowQuietly(host.GetHandle());
    }
    void TearDown() override { DestroyWindow(host.GetHandle()); }

    UIResource skin;
    TestHost host;
};

using UIProgressTest = SkinnedHostTest;
using UIPaneTest = SkinnedHostTest;

TEST_F(UIProgressTest, FillsInProportionToThePositionItselfAndClipsAnOverflow)
{
    auto* bar = static_cast<UIProgress*>(UIObject::CreateControl("Host/Progress", &skin, kControlProgress, &host));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetCommandId(), 3);
    ASSERT_EQ(Describe(bar->GetRect()), "(20, 100, 578, 112)");
    const RECT row = {0, 105, 600, 106};

    bar->SetPos(50);
    EXPECT_EQ(host.CountColour(row, kFill), 0) << "no range yet, no fill";
    EXPECT_EQ(host.CountColour(row, kTrack), 558);

    struct {
        int minimum, maximum, position, fill;
    } cases[] = {
        {0, 100, 10, 55},     {0, 100, 80, 446},  {0, 100, 90, 502}, {0, 100, 100, 558},
        {0, 100, 0, 0},       {0, 100, -5, -27},    {20, 120, 20, 111}, {100, 100, 50, 0},
        {100, 0, 50, 0},      {0, 100, 150, 837},  // wider than the bar: cut at its edge
        {0, 1, INT_MAX, INT_MAX}, {-1, INT_MAX, INT_MAX, 557},
    };
    for (const auto& c : cases) {
        bar->SetRange(c.minimum, c.maximum);
        bar->SetPos(c.position);
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + " at " +
                     std::to_string(c.position));
        EXPECT_EQ(bar->FillWidth(558), c.fill);
        const int shown = std::max(0, std::min(c.fill, 558));
        EXPECT_EQ(host.CountColour(row, kFill), shown);
        EXPECT_EQ(host.CountColour(row, kTrack), 558 - shown);
        if (shown > 0 && shown < 558) {
            EXPECT_EQ(host.ColourAt(20 + shown - 1, 105), kFill);
            EXPECT_EQ(host.ColourAt(20 + shown, 105), kTrack);
        }
        EXPECT_EQ(host.ColourAt(578, 105), kHostColour) << "nothing beyond the bar";
    }
}

TEST_F(UIPaneTest, DrawsItsBackgroundUnderItsChildrenOrNothingWithoutOne)
{
    UIObject* pane = UIObject::CreateControl("Host/Pane", &skin, kControlPane, &host);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->GetControlType(), kControlPane);
    pane->Invalidate(nullptr, TRUE);
    const RECT area = pane->GetRect();
    EXPECT_EQ(Describe(area), "(30, 30, 90, 70)");
    EXPECT_EQ(host.CountColour(area, kPaneColour), 60 * 40);

    auto* text = new UILabel;
    pane->AddChild(text);
    text->SetLayout(0, 0, 60, 40);
    text->SetText(L"Icon");
    EXPECT_GT(host.CountNear(area, RGB(0, 0, 0), 60), 5) << "the child is drawn over the pane";
    EXPECT_GT(host.CountColour(area, kPaneColour), 60 * 40 / 2);

    UIObject* bare = UIObject::CreateControl("Host/BarePane", &skin, kControlPane, &host);
    ASSERT_NE(bare, nullptr);
    bare->Invalidate(nullptr, TRUE);
    EXPECT_EQ(host.CountColour(bare->GetRect(), kHostColour), 60 * 40);
}

TEST(ControlFactory, MakesPanesButtonsLabelsAndProgressBars)
{
    UIObject parent;
    struct {
        int type;
        bool made;
    } cases[] = {{kControlPane, true},      {kControlButton, true},       {kControlLabel, true},
                 {kControlProgress, true},  {kControlFrameWindow, false}, {0, false}, {16, false}};
    for (const auto& c : cases) {
        UIObject* control = UIObject::CreateControl("Host/Nothing", nullptr, c.type, &parent);
        EXPECT_EQ(control != nullptr, c.made) << c.type;
        if (control != nullptr) {
            EXPECT_EQ(control->GetControlType(), c.type);
            EXPECT_EQ(control->GetParentElement(), &parent);
        }
    }
    EXPECT_EQ(parent.GetChildren().size(), 4u);
}

}  // namespace
