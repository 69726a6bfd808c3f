#include "ui/ch_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records which handlers ran, in order.
class RecorderWindow : public CHWindow {
public:
    std::vector<std::string> calls;
    LRESULT reflectResult = 0;
    LRESULT notifyResult = 11;
    bool consumeKeys = false;

    LRESULT OnNcCreate(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back("NcCreate");
        return CHWindow::OnNcCreate(wParam, lParam);
    }
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back("Create");
        return CHWindow::OnCreate(wParam, lParam);
    }
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back("GetMinMaxInfo");
        return CHWindow::OnGetMinMaxInfo(wParam, lParam);
    }
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back("WindowPosChanged");
        return CHWindow::OnWindowPosChanged(wParam, lParam);
    }
    void OnSized() override { calls.push_back("Sized"); }
    LRESULT OnNotify(WPARAM, LPARAM) override
    {
        calls.push_back("Notify");
        return notifyResult;
    }
    LRESULT OnReflectNotify(NMHDR*) override
    {
        calls.push_back("ReflectNotify");
        return reflectResult;
    }
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back("Destroy");
        return CHWindow::OnDestroy(wParam, lParam);
    }
    LRESULT OnCommand(WPARAM wParam, LPARAM) override
    {
        calls.push_back("Command " + std::to_string(LOWORD(wParam)));
        return 42;
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP)
            calls.push_back("App");
        return CHWindow::OnMessage(message, wParam, lParam);
    }
    void OnAttached() override { calls.push_back("Attached"); }
    void OnDetached() override { calls.push_back("Detached"); }
    BOOL PreTranslateMessage(MSG* message) override { return consumeKeys && message->message == WM_KEYDOWN; }

    bool Saw(const std::string& call) const
    {
        for (const auto& c : calls)
            if (c == call)
                return true;
        return false;
    }
};

class CHWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr)); }
};

TEST_F(CHWindowTest, MessagesBeforeNcCreateReachNoHandler)
{
    RecorderWindow window;
    ASSERT_TRUE(window.Create(nullptr, 0, 0, WS_POPUP, L"recorder", 0));
    ASSERT_FALSE(window.calls.empty());
    // WM_GETMINMAXINFO comes before WM_NCCREATE and must not reach the object.
    EXPECT_EQ(window.calls.front(), "NcCreate");
    EXPECT_TRUE(window.Saw("Create"));
    EXPECT_EQ(CHWindow::FromHandle(window.GetHandle()), &window);
    EXPECT_FALSE(window.Attach(window.GetHandle())) << "already bound";

    // After creation it does.
    MINMAXINFO info = {};
    SendMessageW(window.GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(window.Saw("GetMinMaxInfo"));
    EXPECT_EQ(SendMessageW(window.GetHandle(), WM_COMMAND, MAKEWPARAM(1001, 0), 0), 42);
    EXPECT_TRUE(window.Saw("Command 1001"));
    SendMessageW(window.GetHandle(), WM_APP, 0, 0);
    EXPECT_TRUE(window.Saw("App"));
}

TEST_F(CHWindowTest, SizedFollowsWindowPosChangedUnlessNoSizeOrNoCopyBits)
{
    RecorderWindow window;
    ASSERT_TRUE(window.Create(nullptr, 0, 0, WS_POPUP, L"recorder", 0));
    struct {
        UINT flags;
        bool sized;
    } cases[] = {{SWP_NOSIZE, false}, {SWP_NOCOPYBITS, false}, {SWP_NOMOVE, true}, {0, true}};
    for (const auto& c : cases) {
        window.calls.clear();
        WINDOWPOS position = {};
        position.hwnd = window.GetHandle();
        position.flags = c.flags;
        SendMessageW(window.GetHandle(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
        std::vector<std::string> expected{"WindowPosChanged"};
        if (c.sized)
            expected.push_back("Sized");
        EXPECT_EQ(window.calls, expected) << "flags " << c.flags;
    }
    window.calls.clear();
    SendMessageW(window.GetHandle(), WM_WINDOWPOSCHANGED, 0, 0);
    EXPECT_EQ(window.calls, std::vector<std::string>{"WindowPosChanged"});
}

TEST_F(CHWindowTest, NotifyIsReflectedToABoundSenderFirst)
{
    RecorderWindow parent, child;
    ASSERT_TRUE(parent.Create(nullptr, 0, 0, WS_POPUP, L"parent", 0));
    ASSERT_TRUE(child.Create(parent.GetHandle(), 0, 0, WS_CHILD, L"child", 0));
    NMHDR header = {child.GetHandle(), 5, 0};

    child.reflectResult = 7;
    EXPECT_EQ(SendMessageW(parent.GetHandle(), WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 7);
    EXPECT_FALSE(parent.Saw("Notify"));

    child.reflectResult = 0;
    EXPECT_EQ(SendMessageW(parent.GetHandle(), WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 11);
    EXPECT_TRUE(parent.Saw("Notify"));
    EXPECT_TRUE(child.Saw("ReflectNotify"));
}

// The owner window whose Detach must end a modal dialog shown over it.
RecorderWindow* g_dialogOwner = nullptr;

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        g_dialogOwner->SetLastModal(dialog);
        PostMessageW(dialog, WM_APP, 0, 0);
        return TRUE;
    }
    if (message == WM_APP) {
        g_dialogOwner->Detach();
        return TRUE;
    }
    return FALSE;
}

TEST_F(CHWindowTest, DetachEndsTheLastModalDialogWithResultTwo)
{
    RecorderWindow owner;
    ASSERT_TRUE(owner.Create(nullptr, 0, 0, WS_POPUP, L"owner", 0));
    HWND handle = owner.GetHandle();
    g_dialogOwner = &owner;
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialogTemplate = {};
    dialogTemplate.header.style = WS_POPUP | DS_MODALFRAME;
    dialogTemplate.header.cx = 50;
    dialogTemplate.header.cy = 20;
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header, handle, DialogProc, 0);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(GetPropW(handle, CHWindow::kBindingProperty), nullptr);
    EXPECT_EQ(GetPropW(handle, CHWindow::kLastModalProperty), nullptr);
    EXPECT_TRUE(owner.Saw("Detached"));
    EXPECT_EQ(owner.GetHandle(), nullptr);
    DestroyWindow(handle);
}

// Writes to a log that outlives it.
std::vector<std::string> g_outlivingLog;

class OutlivedWindow : public CHWindow {
public:
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override
    {
        g_outlivingLog.push_back("Destroy");
        return CHWindow::OnDestroy(wParam, lParam);
    }
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam) override
    {
        g_outlivingLog.push_back("NcDestroy");
        return CHWindow::OnNcDestroy(wParam, lParam);
    }
};

TEST_F(CHWindowTest, DeletingTheObjectDestroysTheWindowSilently)
{
    auto* window = new OutlivedWindow;
    ASSERT_TRUE(window->Create(nullptr, 0, 0, WS_POPUP, L"doomed", 0));
    HWND handle = window->GetHandle();
    g_outlivingLog.clear();
    delete window;
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(g_outlivingLog.empty());

    // Destroying the window of a living object goes through its handlers and unbinds it.
    OutlivedWindow living;
    ASSERT_TRUE(living.Create(nullptr, 0, 0, WS_POPUP, L"living", 0));
    handle = living.GetHandle();
    DestroyWindow(handle);
    EXPECT_EQ(g_outlivingLog, (std::vector<std::string>{"Destroy", "NcDestroy"}));
    EXPECT_EQ(living.GetHandle(), nullptr);
    EXPECT_EQ(CHWindow::FromHandle(handle), nullptr);
}

TEST_F(CHWindowTest, CentresOnTheDesktopAndResizesInPlace)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    ASSERT_EQ(desktop.right - desktop.left, 1024) << "the tests expect a 1024 x 768 screen";
    ASSERT_EQ(desktop.bottom - desktop.top, 768);

    RecorderWindow window;
    ASSERT_TRUE(window.Create(nullptr, 0, 0, WS_POPUP, L"centred", 0));
    window.SetWindowSize(300, 200);
    window.CenterWindow();
    RECT rect;
    GetWindowRect(window.GetHandle(), &rect);
    EXPECT_EQ(rect.left, 362);
    EXPECT_EQ(rect.top, 284);
    EXPECT_EQ(rect.right - rect.left, 300);

    window.SetWindowSize(100, 50);
    GetWindowRect(window.GetHandle(), &rect);
    EXPECT_EQ(rect.left, 362);
    EXPECT_EQ(rect.top, 284);
    EXPECT_EQ(rect.right - rect.left, 100);
    EXPECT_EQ(rect.bottom - rect.top, 50);

    // A child is centred in its parent's client area and resized in parent coordinates.
    RecorderWindow child;
    ASSERT_TRUE(child.Create(window.GetHandle(), 10, 10, WS_CHILD, L"child", 0));
    child.SetWindowSize(40, 20);
    child.CenterWindow();
    GetWindowRect(child.GetHandle(), &rect);
    EXPECT_EQ(rect.left, 362 + 30);
    EXPECT_EQ(rect.top, 284 + 15);
    child.SetWindowSize(20, 10);
    GetWindowRect(child.GetHandle(), &rect);
    EXPECT_EQ(rect.left, 362 + 30);
    EXPECT_EQ(rect.right - rect.left, 20);
}

TEST_F(CHWindowTest, AttachSubclassesAForeignWindowAndDetachRestoresIt)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
    RecorderWindow window;
    ASSERT_TRUE(window.Attach(edit));
    EXPECT_TRUE(window.Saw("Attached"));
    EXPECT_EQ(SendMessageW(edit, WM_COMMAND, 3, 0), 42);
    // Unhandled messages still reach the edit control's own procedure.
    wchar_t text[16] = L"";
    SendMessageW(edit, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"text");
    EXPECT_EQ(window.Detach(), edit);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC)), original);
    EXPECT_FALSE(window.Attach(nullptr));
    DestroyWindow(edit);
}

TEST_F(CHWindowTest, PreTranslationWalksUpToTheFirstTaker)
{
    RecorderWindow parent;
    ASSERT_TRUE(parent.Create(nullptr, 0, 0, WS_POPUP, L"parent", 0));
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent.GetHandle(), nullptr, nullptr,
                                 nullptr);
    MSG message = {plain, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_FALSE(CHWindow::PreTranslate(&message));
    parent.consumeKeys = true;
    EXPECT_TRUE(CHWindow::PreTranslate(&message));
    message.message = WM_KEYUP;
    EXPECT_FALSE(CHWindow::PreTranslate(&message));
}

TEST_F(CHWindowTest, ModifyExStyleWritesOnlyChanges)
{
    RecorderWindow window;
    ASSERT_TRUE(window.Create(nullptr, 0, 0, WS_POPUP, L"styled", 0));
    EXPECT_TRUE(window.ModifyExStyle(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(GetWindowLongW(window.GetHandle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(window.ModifyExStyle(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(window.ModifyExStyle(WS_EX_TOOLWINDOW, 0));
}

TEST_F(CHWindowTest, TooltipAddsAToolOnceAndUpdatesItsText)
{
    RecorderWindow owner;
    ASSERT_TRUE(owner.Create(nullptr, 0, 0, WS_POPUP, L"owner", 0));
    HWND control = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   owner.GetHandle(), nullptr, nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    CHTooltip tooltip;
    ASSERT_TRUE(tooltip.Attach(control));
    RECT rect = {0, 0, 20, 20};
    tooltip.SetTool(owner.GetHandle(), 7, &rect, L"first");
    tooltip.SetTool(owner.GetHandle(), 7, &rect, L"second");
    EXPECT_EQ(SendMessageW(control, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[32] = L"";
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner.GetHandle();
    tool.uId = 7;
    tool.lpszText = text;
    SendMessageW(control, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"second");
    tooltip.SetTool(owner.GetHandle(), 8, nullptr, L"other");
    EXPECT_EQ(SendMessageW(control, TTM_GETTOOLCOUNT, 0, 0), 2);
}

}  // namespace
