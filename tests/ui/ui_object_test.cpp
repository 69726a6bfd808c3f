#include "ui/ui_object.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ui_test_elements.h"

namespace {

using Log = std::vector<std::string>;

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

class UIObjectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr)); }

    void SetUp() override
    {
        ASSERT_TRUE(host.Create(nullptr, 0, 0, WS_POPUP, L"host", 0));
        host.SetWindowSize(670, 680);
    }

    // Adds a recording child placed by a "size" rule.
    RecordingElement* Add(UIObject* parent, const char* name, int x, int y, int w, int h)
    {
        auto* element = new RecordingElement(name, &log);
        element->Place(x, y, w, h);
        parent->AddChild(element);
        return element;
    }
    void Move(int x, int y) { SendMessageW(host.GetHandle(), WM_MOUSEMOVE, 0, At(x, y)); }
    void Press(int x, int y)
    {
        SendMessageW(host.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        SendMessageW(host.GetHandle(), WM_LBUTTONUP, 0, At(x, y));
    }

    HostWindow host;
    Log log;
};

TEST_F(UIObjectTest, PlacementMeasuresNegativeOffsetsFromTheFarEdges)
{
    EXPECT_EQ(host.GetRect().right, 670);
    EXPECT_EQ(host.GetRect().bottom, 680);
    struct {
        int x, y, w, h;
        RECT expected;
    } cases[] = {
        {-195, -96, 140, 37, {475, 584, 615, 621}},
        {515, -160, 100, 35, {515, 520, 615, 555}},
        {55, 305, 560, 170, {55, 305, 615, 475}},
        {0, 0, 0, 0, {0, 0, 0, 0}},
        {10, 10, 0, 20, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        RecordingElement* element = Add(&host, "e", c.x, c.y, c.w, c.h);
        element->RelayoutTree();
        element->RelayoutTree();
        EXPECT_TRUE(EqualRect(&element->GetRect(), &c.expected))
            << c.x << "," << c.y << " -> " << element->GetRect().left << "," << element->GetRect().top << ","
            << element->GetRect().right << "," << element->GetRect().bottom;
    }
    // Grandchildren are placed in their parent's rectangle, and follow it.
    RecordingElement* pane = Add(&host, "pane", 100, 100, 200, 100);
    RecordingElement* inner = Add(pane, "inner", -50, -20, 40, 10);
    EXPECT_EQ(inner->GetRect().left, 250);
    EXPECT_EQ(inner->GetRect().top, 180);
    host.SetWindowSize(700, 700);
    EXPECT_EQ(pane->GetRect().left, 100) << "sizes and offsets do not stretch with the parent";
}

TEST_F(UIObjectTest, HoverGoesToTheTopmostVisibleChildAndLeavesAlongTheChain)
{
    RecordingElement* lower = Add(&host, "lower", 10, 10, 100, 100);
    RecordingElement* upper = Add(&host, "upper", 50, 50, 100, 100);
    RecordingElement* inner = Add(upper, "inner", 10, 10, 20, 20);

    Move(60, 60);  // inside both; the later child wins
    EXPECT_TRUE(upper->IsHovered());
    EXPECT_FALSE(lower->IsHovered());
    EXPECT_EQ(host.GetHoverChild(), upper);

    Move(65, 65);  // into the grandchild
    EXPECT_EQ(host.DeepestHoveredDescendant(), inner);

    Move(20, 20);  // only the lower one is here
    EXPECT_FALSE(upper->IsHovered());
    EXPECT_FALSE(inner->IsHovered());
    EXPECT_TRUE(lower->IsHovered());
    EXPECT_NE(std::find(log.begin(), log.end(), "inner leave 20,20"), log.end());

    upper->SetVisible(false);
    Move(60, 60);  // an invisible child is never hit
    EXPECT_EQ(host.GetHoverChild(), lower);
    upper->SetVisible(true);

    Move(65, 65);
    log.clear();
    SendMessageW(host.GetHandle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(log, (Log{"upper leave -1,-1", "inner leave -1,-1"}));
    EXPECT_EQ(host.GetHoverChild(), nullptr);
    EXPECT_EQ(upper->GetHoverChild(), nullptr);
    EXPECT_FALSE(host.IsHovered());
}

TEST_F(UIObjectTest, PressesMoveTheFocusButNeverToADisabledElement)
{
    RecordingElement* first = Add(&host, "first", 10, 10, 50, 50);
    RecordingElement* second = Add(&host, "second", 100, 10, 50, 50);

    Move(20, 20);
    log.clear();
    Press(20, 20);
    EXPECT_EQ(log, (Log{"first setfocus", "first down 20,20", "first up 20,20"}));
    EXPECT_EQ(host.GetFocusElement(), first);

    second->SetEnabledFlag(false);
    Move(110, 20);
    log.clear();
    Press(110, 20);
    EXPECT_TRUE(log.empty()) << log.front();
    EXPECT_EQ(host.GetFocusElement(), first);

    // Keys go to the focus element.
    log.clear();
    SendMessageW(host.GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    SendMessageW(host.GetHandle(), WM_CHAR, 'a', 0);
    EXPECT_EQ(log, (Log{"first keydown 9", "first char 97"}));

    // A press on empty window area takes the focus away.
    Move(400, 400);
    log.clear();
    Press(400, 400);
    EXPECT_EQ(log, (Log{"first killfocus null"}));
    EXPECT_EQ(host.GetFocusElement(), nullptr);
    SendMessageW(host.GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(host.log.back(), "window keydown 13");
}

TEST_F(UIObjectTest, WheelTurnsReachTheParentFirstWithAnUnsignedDelta)
{
    RecordingElement* pane = Add(&host, "pane", 10, 10, 200, 200);
    Add(pane, "list", 10, 10, 50, 50);
    Move(30, 30);
    log.clear();
    SendMessageW(host.GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), At(30, 30));
    EXPECT_EQ(log, (Log{"pane wheel 65416", "list wheel 65416"}));
}

TEST_F(UIObjectTest, TimerIdsReuseTheLargestPlusOne)
{
    ShowWindow(host.GetHandle(), SW_SHOWNOACTIVATE);
    RecordingElement* element = Add(&host, "timed", 10, 10, 10, 10);
    EXPECT_EQ(element->SetElementTimer(100000), 1u);
    EXPECT_EQ(element->SetElementTimer(100000), 2u);
    EXPECT_TRUE(element->KillElementTimer(2));
    EXPECT_EQ(element->SetElementTimer(100000), 2u);
    EXPECT_TRUE(element->KillElementTimer(1));
    EXPECT_EQ(element->SetElementTimer(100000), 3u);

    log.clear();
    SendMessageW(host.GetHandle(), WM_TIMER, 3, 0);
    EXPECT_EQ(log, (Log{"timed timer 3"}));

    // A timer no element owns is stopped when it fires.
    SetTimer(host.GetHandle(), 77, 100000, nullptr);
    SendMessageW(host.GetHandle(), WM_TIMER, 77, 0);
    EXPECT_FALSE(KillTimer(host.GetHandle(), 77)) << "already stopped";

    RecordingElement orphan("orphan", &log);
    EXPECT_EQ(orphan.SetElementTimer(10), 0u) << "no host window";
    ShowWindow(host.GetHandle(), SW_HIDE);
    EXPECT_FALSE(element->KillElementTimer(3)) << "a hidden host keeps its timers";
}

TEST_F(UIObjectTest, CommandsAndVisibility)
{
    RecordingElement* button = Add(&host, "button", 10, 10, 10, 10);
    button->SetCommandId(1001);
    button->SendToHost(WM_COMMAND, 1001, reinterpret_cast<LPARAM>(host.GetHandle()));
    EXPECT_EQ(host.log.back(), "command 1001");
    EXPECT_EQ(button->GetHostWindow(), host.GetHandle());

    RecordingElement orphan("orphan", &log);
    EXPECT_EQ(orphan.GetHostWindow(), nullptr);
    EXPECT_EQ(orphan.SendToHost(WM_COMMAND, 1, 0), 0);
    EXPECT_EQ(orphan.GetMemDC(), nullptr);

    log.clear();
    button->SetVisible(true);
    EXPECT_TRUE(log.empty()) << "the same value calls no hook";
    button->SetVisible(false);
    EXPECT_EQ(log, (Log{"button hidden"}));

    EXPECT_EQ(UIObject::CreateControl("x", nullptr, 0, &host), nullptr);
    EXPECT_EQ(UIObject::CreateControl("x", nullptr, 5, &host), nullptr);
    EXPECT_EQ(UIObject::CreateControl("x", nullptr, 16, &host), nullptr);
}

}  // namespace
