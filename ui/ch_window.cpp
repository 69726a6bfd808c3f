#include "ui/ch_window.h"

#include <commctrl.h>

CHWindow::CHWindow() = default;

CHWindow::~CHWindow()
{
    HWND window = Detach();
    if (window != nullptr && IsWindow(window))
        DestroyWindow(window);
}

LRESULT CHWindow::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_defaultProc == nullptr || m_defaultProc == DefWindowProcW)
        return DefWindowProcW(m_hWnd, message, wParam, lParam);
    // A foreign window's previous procedure may be a handle rather than a function.
    return CallWindowProcW(m_defaultProc, m_hWnd, message, wParam, lParam);
}

#define QV_DEFAULT_HANDLER(name, message)                                                                              \
    LRESULT CHWindow::name(WPARAM wParam, LPARAM lParam) { return Default(message, wParam, lParam); }

QV_DEFAULT_HANDLER(OnPaint, WM_PAINT)
QV_DEFAULT_HANDLER(OnNcPaint, WM_NCPAINT)
QV_DEFAULT_HANDLER(OnEraseBkgnd, WM_ERASEBKGND)
QV_DEFAULT_HANDLER(OnMouseMove, WM_MOUSEMOVE)
QV_DEFAULT_HANDLER(OnNcHitTest, WM_NCHITTEST)
QV_DEFAULT_HANDLER(OnNcMouseMove, WM_NCMOUSEMOVE)
QV_DEFAULT_HANDLER(OnSetCursor, WM_SETCURSOR)
QV_DEFAULT_HANDLER(OnNcLButtonUp, WM_NCLBUTTONUP)
QV_DEFAULT_HANDLER(OnNcLButtonDown, WM_NCLBUTTONDOWN)
QV_DEFAULT_HANDLER(OnNcLButtonDblClk, WM_NCLBUTTONDBLCLK)
QV_DEFAULT_HANDLER(OnNcRButtonUp, WM_NCRBUTTONUP)
QV_DEFAULT_HANDLER(OnNcRButtonDown, WM_NCRBUTTONDOWN)
QV_DEFAULT_HANDLER(OnNcRButtonDblClk, WM_NCRBUTTONDBLCLK)
QV_DEFAULT_HANDLER(OnNcCalcSize, WM_NCCALCSIZE)
QV_DEFAULT_HANDLER(OnWindowPosChanged, WM_WINDOWPOSCHANGED)
QV_DEFAULT_HANDLER(OnLButtonUp, WM_LBUTTONUP)
QV_DEFAULT_HANDLER(OnLButtonDown, WM_LBUTTONDOWN)
QV_DEFAULT_HANDLER(OnLButtonDblClk, WM_LBUTTONDBLCLK)
QV_DEFAULT_HANDLER(OnRButtonUp, WM_RBUTTONUP)
QV_DEFAULT_HANDLER(OnRButtonDown, WM_RBUTTONDOWN)
QV_DEFAULT_HANDLER(OnRButtonDblClk, WM_RBUTTONDBLCLK)
QV_DEFAULT_HANDLER(OnCommand, WM_COMMAND)
QV_DEFAULT_HANDLER(OnKeyUp, WM_KEYUP)
QV_DEFAULT_HANDLER(OnKeyDown, WM_KEYDOWN)
QV_DEFAULT_HANDLER(OnSize, WM_SIZE)
QV_DEFAULT_HANDLER(OnNotify, WM_NOTIFY)
QV_DEFAULT_HANDLER(OnHotKey, WM_HOTKEY)
QV_DEFAULT_HANDLER(OnTimer, WM_TIMER)
QV_DEFAULT_HANDLER(OnHScroll, WM_HSCROLL)
QV_DEFAULT_HANDLER(OnVScroll, WM_VSCROLL)
QV_DEFAULT_HANDLER(OnDrawItem, WM_DRAWITEM)
QV_DEFAULT_HANDLER(OnMeasureItem, WM_MEASUREITEM)
QV_DEFAULT_HANDLER(OnChar, WM_CHAR)
QV_DEFAULT_HANDLER(OnDropFiles, WM_DROPFILES)
QV_DEFAULT_HANDLER(OnSetFocus, WM_SETFOCUS)
QV_DEFAULT_HANDLER(OnKillFocus, WM_KILLFOCUS)
QV_DEFAULT_HANDLER(OnMouseWheel, WM_MOUSEWHEEL)
QV_DEFAULT_HANDLER(OnMouseHover, WM_MOUSEHOVER)
QV_DEFAULT_HANDLER(OnMouseLeave, WM_MOUSELEAVE)
QV_DEFAULT_HANDLER(OnGetMinMaxInfo, WM_GETMINMAXINFO)
QV_DEFAULT_HANDLER(OnShowWindow, WM_SHOWWINDOW)
QV_DEFAULT_HANDLER(OnSysCommand, WM_SYSCOMMAND)
QV_DEFAULT_HANDLER(OnNcActivate, WM_NCACTIVATE)
QV_DEFAULT_HANDLER(OnCreate, WM_CREATE)
QV_DEFAULT_HANDLER(OnDestroy, WM_DESTROY)
QV_DEFAULT_HANDLER(OnClose, WM_CLOSE)
QV_DEFAULT_HANDLER(OnNcCreate, WM_NCCREATE)
QV_DEFAULT_HANDLER(OnNcDestroy, WM_NCDESTROY)

#undef QV_DEFAULT_HANDLER

void CHWindow::OnAttached() {}
void CHWindow::OnDetached() {}
void CHWindow::OnSized() {}

LRESULT CHWindow::OnReflectNotify(NMHDR*)
{
    return 0;
}

void CHWindow::SetLastModal(HWND dialog)
{
    SetPropW(m_hWnd, kLastModalProperty, dialog);
}

void CHWindow::ClearLastModal()
{
    RemovePropW(m_hWnd, kLastModalProperty);
}

BOOL CHWindow::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CHWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

CHWindow* CHWindow::FromHandle(HWND window)
{
    return window != nullptr ? static_cast<CHWindow*>(GetPropW(window, kBindingProperty)) : nullptr;
}

LRESULT CALLBACK CHWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CHWindow* object = FromHandle(window);
    if (object == nullptr) {
        if (message != WM_NCCREATE && message != WM_CREATE)
            return DefWindowProcW(window, message, wParam, lParam);
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        object = create != nullptr ? static_cast<CHWindow*>(create->lpCreateParams) : nullptr;
        if (object == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        object->m_hWnd = window;
        SetPropW(window, kBindingProperty, object);
    }
    return object->Dispatch(message, wParam, lParam);
}

LRESULT CHWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: return OnPaint(wParam, lParam);
    case WM_NCPAINT: return OnNcPaint(wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBkgnd(wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam);
    case WM_NCHITTEST: return OnNcHitTest(wParam, lParam);
    case WM_NCMOUSEMOVE: return OnNcMouseMove(wParam, lParam);
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case WM_NCLBUTTONUP: return OnNcLButtonUp(wParam, lParam);
    case WM_NCLBUTTONDOWN: return OnNcLButtonDown(wParam, lParam);
    case WM_NCLBUTTONDBLCLK: return OnNcLButtonDblClk(wParam, lParam);
    case WM_NCRBUTTONUP: return OnNcRButtonUp(wParam, lParam);
    case WM_NCRBUTTONDOWN: return OnNcRButtonDown(wParam, lParam);
    case WM_NCRBUTTONDBLCLK: return OnNcRButtonDblClk(wParam, lParam);
    case WM_NCCALCSIZE: return OnNcCalcSize(wParam, lParam);
    case WM_WINDOWPOSCHANGED: {
        LRESULT result = OnWindowPosChanged(wParam, lParam);
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (position != nullptr && (position->flags & (SWP_NOSIZE | SWP_NOCOPYBITS)) == 0)
            OnSized();
        return result;
    }
    case WM_LBUTTONUP: return OnLButtonUp(wParam, lParam);
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(wParam, lParam);
    case WM_RBUTTONUP: return OnRButtonUp(wParam, lParam);
    case WM_RBUTTONDOWN: return OnRButtonDown(wParam, lParam);
    case WM_RBUTTONDBLCLK: return OnRButtonDblClk(wParam, lParam);
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_KEYUP: return OnKeyUp(wParam, lParam);
    case WM_KEYDOWN: return OnKeyDown(wParam, lParam);
    case WM_SIZE: return OnSize(wParam, lParam);
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        CHWindow* sender = header != nullptr ? FromHandle(header->hwndFrom) : nullptr;
        if (sender != nullptr) {
            LRESULT reflected = sender->OnReflectNotify(header);
            if (reflected != 0)
                return reflected;
        }
        return OnNotify(wParam, lParam);
    }
    case WM_HOTKEY: return OnHotKey(wParam, lParam);
    case WM_TIMER: return OnTimer(wParam, lParam);
    case WM_HSCROLL: return OnHScroll(wParam, lParam);
    case WM_VSCROLL: return OnVScroll(wParam, lParam);
    case WM_DRAWITEM: return OnDrawItem(wParam, lParam);
    case WM_MEASUREITEM: return OnMeasureItem(wParam, lParam);
    case WM_CHAR: return OnChar(wParam, lParam);
    case WM_DROPFILES: return OnDropFiles(wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus(wParam, lParam);
    case WM_KILLFOCUS: return OnKillFocus(wParam, lParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(wParam, lParam);
    case WM_MOUSEHOVER: return OnMouseHover(wParam, lParam);
    case WM_MOUSELEAVE: return OnMouseLeave(wParam, lParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(wParam, lParam);
    case WM_SHOWWINDOW: return OnShowWindow(wParam, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_NCACTIVATE: return OnNcActivate(wParam, lParam);
    case WM_CREATE: return OnCreate(wParam, lParam);
    case WM_DESTROY: return OnDestroy(wParam, lParam);
    case WM_CLOSE: return OnClose(wParam, lParam);
    case WM_NCCREATE: return OnNcCreate(wParam, lParam);
    case WM_NCDESTROY: {
        LRESULT result = OnNcDestroy(wParam, lParam);
        Detach();
        return result;
    }
    default:
        return OnMessage(message, wParam, lParam);
    }
}

bool CHWindow::Create(HWND parent, int x, int y, DWORD style, const wchar_t* title, DWORD exStyle)
{
    HWND window = CreateWindowExW(exStyle, kClassName, title, style, x, y, 0, 0, parent, nullptr, nullptr, this);
    m_hWnd = window;
    if (window == nullptr)
        return false;
    Attach(window);
    return true;
}

bool CHWindow::Attach(HWND window)
{
    if (!IsWindow(window) || GetPropW(window, kBindingProperty) != nullptr)
        return false;
    m_hWnd = window;
    SetPropW(window, kBindingProperty, this);
    m_defaultProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHWindow::WindowProc)));
    OnAttached();
    return true;
}

HWND CHWindow::Detach()
{
    HWND window = m_hWnd;
    if (window == nullptr || !IsWindow(window))
        return window;
    RemovePropW(window, kBindingProperty);
    HWND dialog = static_cast<HWND>(GetPropW(window, kLastModalProperty));
    if (dialog != nullptr) {
        EndDialog(dialog, 2);
        RemovePropW(window, kLastModalProperty);
    }
    if (m_defaultProc != nullptr) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_defaultProc));
        OnDetached();
    }
    m_hWnd = nullptr;
    return window;
}

void CHWindow::CenterWindow()
{
    RECT reference;
    if (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(m_hWnd);
        if (parent == nullptr)
            return;
        GetClientRect(parent, &reference);
    } else {
        GetWindowRect(GetDesktopWindow(), &reference);
    }
    RECT own;
    GetWindowRect(m_hWnd, &own);
    int w = own.right - own.left, h = own.bottom - own.top;
    int x = ((reference.right - reference.left) - w) / 2 + reference.left;
    int y = ((reference.bottom - reference.top) - h) / 2 + reference.top;
    MoveWindow(m_hWnd, x, y, w, h, IsWindowVisible(m_hWnd));
}

void CHWindow::SetWindowSize(int width, int height)
{
    RECT own;
    GetWindowRect(m_hWnd, &own);
    POINT topLeft = {own.left, own.top};
    if (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(m_hWnd);
        if (parent != nullptr) {
            if (GetWindowLongW(parent, GWL_STYLE) & WS_CHILD) {
                RECT parentRect;
                GetWindowRect(parent, &parentRect);
                topLeft.x -= parentRect.left;
                topLeft.y -= parentRect.top;
            } else {
                ScreenToClient(parent, &topLeft);
            }
        }
    }
    MoveWindow(m_hWnd, topLeft.x, topLeft.y, width, height, IsWindowVisible(m_hWnd));
}

bool CHWindow::ModifyExStyle(DWORD remove, DWORD add)
{
    DWORD current = static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    DWORD wanted = (current & ~remove) | add;
    if (wanted == current)
        return false;
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(wanted));
    return true;
}

ATOM CHWindow::RegisterWindowClass(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;  // 8
    controls.dwICC = 0x4FF;             // the Windows 95 classes and the cool classes
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &CHWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass);
}

bool CHWindow::PreTranslate(MSG* message)
{
    for (HWND window = message->hwnd; window != nullptr; window = GetParent(window)) {
        CHWindow* object = FromHandle(window);
        if (object != nullptr && IsWindow(object->m_hWnd) && object->PreTranslateMessage(message))
            return true;
    }
    return false;
}

void CHTooltip::SetTool(HWND owner, UINT toolId, const RECT* rect, const wchar_t* text)
{
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;  // 48 bytes in this 32-bit program
    tool.hwnd = owner;
    tool.uId = toolId;
    if (rect != nullptr)
        tool.rect = *rect;
    tool.lpszText = const_cast<wchar_t*>(text);
    TOOLINFOW existing = tool;
    existing.lpszText = nullptr;
    bool known = SendMessageW(m_hWnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&existing)) != 0;
    SendMessageW(m_hWnd, known ? TTM_SETTOOLINFOW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}
